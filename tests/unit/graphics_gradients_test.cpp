// Gradient pixels against pixman called directly with stops and geometry
// worked out here from the rules of the gradient model, and against the
// reference pictures in tests/images/graphics (TZX_WRITE_REFERENCES=1 writes
// them anew); the option readers on tables made by a real interpreter.
#include <gtest/gtest.h>
#include <pixman.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "graphics/src/gradient_options.h"
#include "graphics/src/gradients.h"
#include "graphics/src/pixel_formats.h"
#include "support/graphics_fixtures.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {
namespace {

using testing::Bitmap;
using testing::ColorBitmap;

GradientRecord Record(int style, uint32_t start, uint32_t end) {
  GradientRecord g{};
  InitGradientRecord(&g, 0);
  g.style = style;
  g.startColor = start;
  g.endColor = end;
  return g;
}

pixman_gradient_stop_t Stop(double position, uint32_t rgb) {
  return {static_cast<pixman_fixed_t>(position * 65536.0),
          {static_cast<uint16_t>((rgb >> 16 & 255) * 257),
           static_cast<uint16_t>((rgb >> 8 & 255) * 257), static_cast<uint16_t>((rgb & 255) * 257),
           0xFFFF}};
}

// pixman's own rendering of a gradient image into w × h opaque pixels.
std::vector<uint32_t> Render(pixman_image_t* gradient, int w, int h) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  pixman_image_set_repeat(gradient, PIXMAN_REPEAT_PAD);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, pixels.data(), w * 4);
  pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, target, 0, 0, 0, 0, 0, 0, w, h);
  pixman_image_unref(target);
  pixman_image_unref(gradient);
  return pixels;
}

pixman_point_fixed_t Point(double x, double y) {
  return {pixman_double_to_fixed(x), pixman_double_to_fixed(y)};
}

std::vector<uint32_t> Ours(const GradientRecord& g, int w, int h) {
  Bitmap b = ColorBitmap(w, h);
  EXPECT_EQ(CreateGradientBitmap(b.get(), 0, 0, w, h, &g), 0);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels.push_back(ReadPixel(b.get(), x, y, 1));
  }
  return pixels;
}

class Gradients : public testing::GraphicsTest {};

TEST_F(Gradients, StartValues) {
  GradientRecord g{};
  g.style = kRadial;
  g.colorCount = 3;
  g.angle = 45;
  g.startColor = 0x123456;
  InitGradientRecord(&g, 1);
  EXPECT_EQ(g.style, kLinear);
  EXPECT_EQ(g.colorCount, 3);
  EXPECT_EQ(g.angle, 45);
  EXPECT_EQ(g.startColor, 0x123456u);
  EXPECT_EQ(g.centerX, 0.5);
  EXPECT_EQ(g.centerY, 0.5);
  EXPECT_EQ(g.balance, 0.5);
  EXPECT_EQ(g.border, 0.0);
  InitGradientRecord(&g, 0);
  EXPECT_EQ(g.colorCount, 0);
  EXPECT_EQ(g.angle, 0);
  // The shared style's gradient: LINEAR from blue to black.
  const GradientRecord& shared = SharedState().drawStyle.gradient;
  EXPECT_EQ(shared.style, kLinear);
  EXPECT_EQ(shared.startColor, 0x0000FFu);
  EXPECT_EQ(shared.endColor, 0x000000u);
}

TEST_F(Gradients, LinearLineFollowsTheAngle) {
  struct Case {
    int angle;
    double x1, y1, x2, y2;
  } cases[] = {
      {0, 0, 0, 0, 30},     // top edge to bottom edge
      {90, 0, 0, 40, 0},    // left to right
      {180, 0, 30, 0, 0},   // bottom to top
      {270, 40, 0, 0, 0},   // right to left
      {-90, 40, 0, 0, 0},   // a negative angle turns the other way
      {450, 0, 0, 40, 0},   // whole turns drop out
      {45, 0, 0, 35, 35},   // top-left toward the bottom right
      {225, 35, 35, 0, 0},  // and back
  };
  for (const Case& c : cases) {
    double start[2], end[2];
    LinearGradientLine(c.angle, 40, 30, start, end);
    EXPECT_NEAR(start[0], c.x1, 1e-9) << c.angle;
    EXPECT_NEAR(start[1], c.y1, 1e-9) << c.angle;
    EXPECT_NEAR(end[0], c.x2, 1e-9) << c.angle;
    EXPECT_NEAR(end[1], c.y2, 1e-9) << c.angle;
  }
}

TEST_F(Gradients, LinearPixelsArePixmans) {
  const int w = 67, h = 41;
  GradientRecord g = Record(kLinear, 0xFF0000, 0x0000FF);
  pixman_gradient_stop_t two[] = {Stop(0, 0xFF0000), Stop(1, 0x0000FF)};
  pixman_point_fixed_t p1 = Point(0, 0), p2 = Point(0, h);
  EXPECT_EQ(Ours(g, w, h), Render(pixman_image_create_linear_gradient(&p1, &p2, two, 2), w, h));

  // 30 degrees: the corner (w, -h), slope tan 30.
  g.angle = 30;
  const double t = std::tan(30 * M_PI / 180), X = w, Y = -h;
  const double x = (Y - t * X) / (-1 / t - t), y = t * x + (Y - t * X);
  p1 = Point(std::max(0.0, -x), std::max(0.0, y));
  p2 = Point(std::max(0.0, x), std::max(0.0, -y));
  EXPECT_EQ(Ours(g, w, h), Render(pixman_image_create_linear_gradient(&p1, &p2, two, 2), w, h));

  // A colour list: its stops in order, alpha dropped.
  g.angle = 90;
  g.colorCount = 3;
  g.stops[0] = {0xFF00FF00, 0.0};
  g.stops[1] = {0x123456, 0.25};
  g.stops[2] = {0xFFFFFF, 0.7};
  pixman_gradient_stop_t three[] = {Stop(0, 0x00FF00), Stop(0.25, 0x123456), Stop(0.7, 0xFFFFFF)};
  p1 = Point(0, 0);
  p2 = Point(w, 0);
  const std::vector<uint32_t> direct =
      Render(pixman_image_create_linear_gradient(&p1, &p2, three, 3), w, h);
  EXPECT_EQ(Ours(g, w, h), direct);
  // Beyond the last stop its colour stays (opaque white).
  EXPECT_EQ(direct[w - 1], 0xFFFFFFFFu);
}

TEST_F(Gradients, RadialPixelsArePixmans) {
  const int w = 50, h = 31;
  GradientRecord g = Record(kRadial, 0xFFFF00, 0x000080);
  g.centerX = 0.2;
  g.centerY = 0.6;
  g.border = 0.25;
  pixman_gradient_stop_t two[] = {Stop(0, 0xFFFF00), Stop(1, 0x000080)};
  auto direct = [&](double border) {
    const double m = std::max(std::fabs(0.5 - 0.2), std::fabs(0.5 - 0.6));
    const double r = std::sqrt(double(w * w + h * h)) * (0.5 + m) * (1 - border);
    pixman_point_fixed_t c = Point(w * 0.2, h * 0.6);
    return Render(pixman_image_create_radial_gradient(&c, &c, 0, pixman_double_to_fixed(r), two, 2),
                  w, h);
  };
  EXPECT_EQ(Ours(g, w, h), direct(0.25));
  // A border of the whole radius draws as 0.99 of it.
  g.border = 1.0;
  EXPECT_EQ(Ours(g, w, h), direct(0.99));
}

TEST_F(Gradients, ConicalPixelsArePixmans) {
  const int w = 45, h = 45;
  GradientRecord g = Record(kConical, 0xFFFFFF, 0x800000);
  g.angle = 60;
  g.centerX = 0.3;
  g.balance = 0.25;
  // Two colours: end, start at the balance, end again.
  pixman_gradient_stop_t stops[] = {Stop(0, 0x800000), Stop(0.25, 0xFFFFFF), Stop(1, 0x800000)};
  pixman_point_fixed_t c = Point(w * 0.3, h * 0.5);
  EXPECT_EQ(
      Ours(g, w, h),
      Render(pixman_image_create_conical_gradient(&c, pixman_int_to_fixed(60), stops, 3), w, h));
}

TEST_F(Gradients, RectanglesAndFormats) {
  GradientRecord g = Record(kLinear, 0x000000, 0xFFFFFF);
  g.angle = 90;
  // The gradient spans its rectangle even where the bitmap cuts it off, and
  // nothing outside the rectangle changes.
  Bitmap b = ColorBitmap(20, 4);
  testing::Paint(b.get(), [](int, int) { return 0x00FF00u; });
  ASSERT_EQ(CreateGradientBitmap(b.get(), -10, 1, 40, 2, &g), 0);
  const std::vector<uint32_t> full = Ours(g, 40, 2);
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(ReadPixel(b.get(), x, 0, 0), 0x00FF00u);
    EXPECT_EQ(ReadPixel(b.get(), x, 1, 1), full[10 + x]) << x;
    EXPECT_EQ(ReadPixel(b.get(), x, 2, 1), full[40 + 10 + x]) << x;
    EXPECT_EQ(ReadPixel(b.get(), x, 3, 0), 0x00FF00u);
  }
  // A 5-6-5 bitmap takes the same pixels converted.
  Bitmap rgb16 = ColorBitmap(40, 2, kFormatRgb16);
  ASSERT_EQ(CreateGradientBitmap(rgb16.get(), 0, 0, 40, 2, &g), 0);
  for (int x = 0; x < 40; ++x) {
    uint8_t pixel[2];
    WriteColor(pixel, kFormatRgb16, full[x]);
    EXPECT_EQ(ReadPixel(rgb16.get(), x, 1, 1), uint32_t(pixel[0] | pixel[1] << 8)) << x;
  }
  // Other kinds are refused, empty rectangles change nothing.
  Bitmap alpha = testing::AlphaPlane(4, 4);
  EXPECT_EQ(CreateGradientBitmap(alpha.get(), 0, 0, 4, 4, &g), kErrRange);
  EXPECT_EQ(CreateGradientBitmap(b.get(), 30, 0, 4, 4, &g), 0);
  EXPECT_EQ(CreateGradientBitmap(b.get(), 0, 0, 0, 4, &g), 0);
  // FillGradient on a raw buffer with padded rows.
  std::vector<uint32_t> buffer(8 * 3, 0x11111111);
  GradientRequest r = {buffer.data(), 8 * 4, 5, 3, 0, 0, 5, 3, &g};
  ASSERT_EQ(FillGradient(&r), 0);
  EXPECT_EQ(buffer[5], 0x11111111u);
  EXPECT_EQ(buffer[8 + 4], Ours(g, 5, 3)[5 + 4]);
  r.bytesPerRow = 6;
  EXPECT_EQ(FillGradient(&r), kErrRange);
}

// --- Reference pictures --------------------------------------------------

std::string ReferencePath(const std::string& name) {
  return std::string(TZX_SOURCE_DIR) + "/tests/images/graphics/" + name + ".png";
}

void CheckReference(const std::string& name, const GradientRecord& g, int w, int h) {
  std::vector<uint32_t> ours = Ours(g, w, h);
  for (uint32_t& p : ours) p |= 0xFF000000;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB words in memory order
  if (std::getenv("TZX_WRITE_REFERENCES")) {
    image.width = w;
    image.height = h;
    ASSERT_TRUE(
        png_image_write_to_file(&image, ReferencePath(name).c_str(), 0, ours.data(), 0, nullptr));
    return;
  }
  ASSERT_TRUE(png_image_begin_read_from_file(&image, ReferencePath(name).c_str())) << name;
  image.format = PNG_FORMAT_BGRA;
  ASSERT_EQ(int(image.width), w);
  ASSERT_EQ(int(image.height), h);
  std::vector<uint32_t> reference(static_cast<size_t>(w) * h);
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, reference.data(), 0, nullptr)) << name;
  EXPECT_EQ(ours, reference) << name;
}

TEST_F(Gradients, ReferencePictures) {
  // Each kind, and each with its stops inside 0..1 so that the first and
  // last colour spread to the edges.
  GradientRecord g = Record(kLinear, 0xFF0000, 0x0000FF);
  g.angle = 45;
  CheckReference("linear_45", g, 96, 64);
  g.colorCount = 3;
  g.stops[0] = {0xFFFF00, 0.3};
  g.stops[1] = {0x00FF00, 0.5};
  g.stops[2] = {0x000080, 0.6};
  CheckReference("linear_spread", g, 96, 64);

  g = Record(kRadial, 0xFFFFFF, 0x004080);
  g.centerX = 0.3;
  g.centerY = 0.4;
  CheckReference("radial", g, 96, 64);
  g.colorCount = 2;
  g.stops[0] = {0xFF8000, 0.4};
  g.stops[1] = {0x400000, 0.6};
  g.border = 0.5;
  CheckReference("radial_spread", g, 96, 64);

  g = Record(kConical, 0xFFFFFF, 0x000000);
  g.angle = 30;
  g.balance = 0.3;
  CheckReference("conical", g, 96, 64);
  g.colorCount = 2;
  g.stops[0] = {0x00FFFF, 0.25};
  g.stops[1] = {0xFF00FF, 0.75};
  CheckReference("conical_spread", g, 96, 64);
}

// --- Option readers ----------------------------------------------------

class GradientOptions : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    L = luaL_newstate();
    luaL_openlibs(L);
  }
  void TearDown() override {
    lua_close(L);
    GraphicsTest::TearDown();
  }
  // The values of `args` (a Lua expression list) as the arguments from 1.
  void Arguments(const std::string& args) {
    lua_settop(L, 0);
    ASSERT_EQ(luaL_dostring(L, ("return " + args).c_str()), 0) << lua_tostring(L, -1);
  }
  int Table(const std::string& table, int style) {
    Arguments(table);
    g.style = style;
    return ReadGradientTable(L, 1, &g, "centerx", "centery", "balance", "border", "colors", &given);
  }
  const char* ErrorArgument() { return tzx::host::State().errorString.c_str(); }

  lua_State* L = nullptr;
  GradientRecord g = Record(kLinear, 0, 0);
  int given = 0;
};

TEST_F(GradientOptions, ColourStops) {
  EXPECT_EQ(Table("{colors = {[0] = 0xFF0000, 0, 0x0000FF, 1}}", kLinear), 0);
  EXPECT_EQ(g.colorCount, 2);
  EXPECT_EQ(given, 1);
  EXPECT_EQ(g.stops[1].color, 0x0000FFu);
  EXPECT_EQ(g.stops[1].position, 1.0);
  // Colours round to the nearest integer.
  EXPECT_EQ(Table("{colors = {[0] = 1.5, 0, 0xFFFFFFFF, 0.5}}", kLinear), 0);
  EXPECT_EQ(g.stops[0].color, 2u);
  EXPECT_EQ(g.stops[1].color, 0xFFFFFFFFu);

  EXPECT_EQ(Table("{colors = {[0] = 0xFF0000, 0, 0x0000FF}}", kLinear), kErrMissingPosition);
  EXPECT_EQ(Table("{colors = {[0] = 0xFF0000, 0}}", kLinear), kErrRange);
  EXPECT_EQ(Table("{colors = {[0] = 0xFF0000, 1.01, 0, 1}}", kLinear), kErrRange);
  EXPECT_EQ(Table("{colors = {[0] = 0xFF0000, 'x', 0, 1}}", kLinear), kErrNotNumber);
  EXPECT_STREQ(ErrorArgument(), "colors");
  EXPECT_EQ(Table("{colors = 5}", kLinear), kErrFieldNotTable);
  EXPECT_STREQ(ErrorArgument(), "colors");
  // A failed list leaves the stops that were there.
  EXPECT_EQ(g.colorCount, 2);
  EXPECT_EQ(g.stops[1].color, 0xFFFFFFFFu);

  std::string list = "{colors = {[0] = 0, 0";
  for (int i = 1; i < 64; ++i) list += ", " + std::to_string(i) + ", 1";
  EXPECT_EQ(Table(list + "}}", kLinear), 0);
  EXPECT_EQ(g.colorCount, 64);
  EXPECT_EQ(Table(list + ", 5, 1}}", kLinear), kErrTooMany);
  // An empty list means two colours again.
  given = 0;
  EXPECT_EQ(Table("{colors = {}}", kLinear), 0);
  EXPECT_EQ(g.colorCount, 0);
  EXPECT_EQ(given, 0);
  EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(GradientOptions, CentreBalanceAndBorder) {
  EXPECT_EQ(Table("{centerx = 1.5}", kRadial), kErrRange);
  EXPECT_EQ(Table("{centery = -0.1}", kConical), kErrRange);
  EXPECT_EQ(Table("{border = 1.01}", kRadial), kErrRange);
  EXPECT_EQ(Table("{centerx = 0, centery = 1, balance = 0.2, border = 1}", kRadial), 0);
  EXPECT_EQ(g.centerX, 0.0);
  EXPECT_EQ(g.centerY, 1.0);
  EXPECT_EQ(g.balance, 0.2);
  EXPECT_EQ(g.border, 1.0);
  // LINEAR reads no centre.
  EXPECT_EQ(Table("{centerx = 1.5}", kLinear), 0);
  EXPECT_EQ(g.centerX, 0.0);
}

TEST_F(GradientOptions, SetFillStyleArguments) {
  // Types 0 and 1 are LINEAR at 0 and 90 degrees; LINEAR and CONICAL read
  // an angle; the option table follows it, or stands in its place.
  Arguments("0, 0, 0, 0, 45");
  g.style = 1;
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), 0);
  EXPECT_EQ(g.style, kLinear);
  EXPECT_EQ(g.angle, 90);
  g.style = kConical;
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), 0);
  EXPECT_EQ(g.angle, 45);
  Arguments("0, 0, 0, 0, 45.9, {balance = 0.75}");
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), 0);
  EXPECT_EQ(g.angle, 45);
  EXPECT_EQ(g.balance, 0.75);
  Arguments("0, 0, 0, 0, {centerx = 1.5}");
  g.style = kRadial;
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), kErrRange);
  Arguments("0, 0, 0, 0, nil, {centerx = 0.25}");
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), 0);
  EXPECT_EQ(g.centerX, 0.25);
  // Unknown types are refused rather than drawn as some other gradient.
  g.style = 7;
  EXPECT_EQ(ReadGradientOptions(L, 5, &g), kErrRange);
}

TEST_F(GradientOptions, DisplayTagsAndRecordedArguments) {
  Arguments(
      "{gradientstyle = 3, gradientstartcolor = 0xFF0000, gradientendcolor = 0x00FF00,"
      " gradientangle = 12, gradientcenterx = 0.1, gradientcolors = {[0] = 1, 0, 2, 1}}");
  g.centerX = 0.9;
  EXPECT_EQ(ParseGradientTags(L, 1, &g, 0, 1), 0);
  EXPECT_EQ(g.style, kRadial);
  EXPECT_EQ(g.startColor, 0xFF0000u);
  EXPECT_EQ(g.endColor, 0x00FF00u);
  EXPECT_EQ(g.angle, 12);
  EXPECT_EQ(g.centerX, 0.1);
  EXPECT_EQ(g.colorCount, 2);
  Arguments("{gradientstyle = 0, gradientcolors = {[0] = 1}}");
  EXPECT_EQ(ParseGradientTags(L, 1, &g, 0, 1), kErrMissingPosition);
  EXPECT_EQ(g.style, 0);  // not remapped here

  Arguments("4, 250000, 500000, 750000, 1000000, 2, 0xFF, 0, 0xFF00, 1000000");
  EXPECT_EQ(ReadGradientArgs(L, 1, &g), 0);
  EXPECT_EQ(g.style, kConical);
  EXPECT_EQ(g.centerX, 0.25);
  EXPECT_EQ(g.balance, 0.75);
  EXPECT_EQ(g.border, 1.0);
  EXPECT_EQ(g.colorCount, 2);
  EXPECT_EQ(g.stops[1].color, 0xFF00u);
  EXPECT_EQ(g.stops[1].position, 1.0);
  Arguments("4, 250000, 500000, 750000, 1000001, 0");
  EXPECT_EQ(ReadGradientArgs(L, 1, &g), kErrRange);
  Arguments("4, 0, 0, 0, 0, 65");
  EXPECT_EQ(ReadGradientArgs(L, 1, &g), kErrTooMany);
}

}  // namespace
}  // namespace tzx::graphics
