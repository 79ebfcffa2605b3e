// The host's layers sibling over a real display: overlapping layers that
// move and go give back exactly what they covered, and insert positions
// order them.
#include "tzx/siblings/layers.h"

#include <gtest/gtest.h>

#include "siblings/sibling.h"
#include "support/test_host.h"
#include "tessera/host.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/text.h"

namespace {

using namespace tzx;

constexpr uint32_t kBackground = 0x000080;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

const void* InterfaceOf(const tessera::Host& host, const char* name) {
  for (const tessera::LoadedLibrary& l : host.Libraries()) {
    if (l.name == name) return l.interface;
  }
  return nullptr;
}

struct LayerScene {
  tessera::Host host{tzx::testing::TestHostOptions({"graphics", "display"}, {"object", "layers"})};
  const graphics::GraphicsInterface* g = nullptr;
  const display::DisplayInterface* displays = nullptr;
  const LayersSibling* layers = nullptr;
  display::DisplayRecord* d = nullptr;

  void Start() {
    std::string error;
    ASSERT_TRUE(host.Start(&error)) << error;
    ASSERT_EQ(tzx::testing::RunCode(host,
                                    "CreateDisplay(1, {width = 16, height = 8, color = 0x000080}) "
                                    "OpenDisplay(1)"),
              "");
    g = static_cast<const graphics::GraphicsInterface*>(InterfaceOf(host, "graphics"));
    displays = static_cast<const display::DisplayInterface*>(InterfaceOf(host, "display"));
    layers = static_cast<const LayersSibling*>(host::FindHostSibling("layers")->interface());
    const ObjectId one{1, nullptr};
    ASSERT_EQ(displays->FindDisplay(&one, &d), 0);
  }
  uint32_t Pixel(int x, int y) {
    return g->ReadPixel(displays->DrawingOutputOf(d)->color, x, y, 0) & 0xFFFFFF;
  }
  // A square of one colour at (x, y); 0 or the slot's error.
  int Square(uint32_t color, int x, int y, int insertPos = 0, ObjectId id = {}) {
    LayerRequest r{};
    r.id = id;
    r.x = x;
    r.y = y;
    r.width = r.height = 4;
    r.color = g->AllocBitmap(4, 4, 0, nullptr);
    g->FillBitmapRect(r.color, 0, 0, 4, 4, color);
    r.insertPos = insertPos;
    const int rc = layers->insertLayer(host.L(), d, &r);
    // Refused planes stay the caller's.
    EXPECT_EQ(rc == 0, r.color == nullptr);
    if (r.color) g->FreeBitmap(r.color);
    return rc;
  }
};

TEST(Layers, OverlappingLayersGiveBackWhatTheyCover) {
  LayerScene s;
  s.Start();
  const LayersSibling& l = *s.layers;
  lua_State* L = s.host.L();
  // Red at (0, 0) is layer 1, green over it at (2, 2) layer 2.
  ASSERT_EQ(s.Square(kRed, 0, 0), 0);
  ASSERT_EQ(s.Square(kGreen, 2, 2), 0);
  EXPECT_EQ(l.layerCount(s.d), 2);
  EXPECT_EQ(s.Pixel(1, 1), kRed);
  EXPECT_EQ(s.Pixel(3, 3), kGreen);
  EXPECT_EQ(s.Pixel(5, 5), kGreen);
  EXPECT_EQ(s.Pixel(6, 6), kBackground);

  // Red moves out from under green: green stays whole, red's old place
  // shows the background again.
  const LayerMove move{ObjectId{1, nullptr}, 8, 0};
  ASSERT_EQ(l.moveLayers(L, s.d, &move, 1), 0);
  EXPECT_EQ(s.Pixel(1, 1), kBackground);
  EXPECT_EQ(s.Pixel(2, 2), kGreen);
  EXPECT_EQ(s.Pixel(3, 3), kGreen);
  EXPECT_EQ(s.Pixel(8, 0), kRed);
  graphics::Rect box{};
  const ObjectId one{1, nullptr}, two{2, nullptr};
  ASSERT_NE(l.layerBox(s.d, &one, &box), 0);
  EXPECT_EQ(box.x, 8);
  EXPECT_EQ(box.width, 4);

  // Green goes: the background shows, not the red it once covered.
  ASSERT_EQ(l.removeLayers(L, s.d, &two, 1), 0);
  EXPECT_EQ(s.Pixel(2, 2), kBackground);
  EXPECT_EQ(s.Pixel(3, 3), kBackground);
  EXPECT_EQ(l.findLayer(s.d, &two), nullptr);
  EXPECT_EQ(l.layerBox(s.d, &two, &box), 0);

  // Blue put at the bottom lies under red where they meet; it is numbered
  // after the highest number there is.
  ASSERT_EQ(s.Square(kBlue, 10, 2, 1), 0);
  EXPECT_EQ(s.Pixel(10, 2), kRed);
  EXPECT_EQ(s.Pixel(12, 4), kBlue);
  const ObjectId three{2, nullptr};
  EXPECT_NE(l.findLayer(s.d, &three), nullptr);
  // Red goes from over blue: blue shows whole.
  ASSERT_EQ(l.removeLayers(L, s.d, &one, 1), 0);
  EXPECT_EQ(s.Pixel(10, 2), kBlue);
  EXPECT_EQ(s.Pixel(8, 0), kBackground);

  // A name already shown is refused and nothing changes.
  EXPECT_EQ(s.Square(kGreen, 0, 0, 0, three), kErrObjectBusy);
  EXPECT_EQ(l.layerCount(s.d), 1);
  EXPECT_EQ(s.Pixel(0, 0), kBackground);

  // Clearing gives the picture back.
  ASSERT_EQ(l.clearLayers(L, s.d), 0);
  EXPECT_EQ(l.layerCount(s.d), 0);
  EXPECT_EQ(s.Pixel(12, 4), kBackground);
  s.host.Stop();
  EXPECT_EQ(s.host.LiveBlocks(), 0);
}

TEST(Layers, LayersOutsideThePictureAndAFreedDisplay) {
  LayerScene s;
  s.Start();
  // Partly and wholly outside: drawn where they meet the picture.
  ASSERT_EQ(s.Square(kRed, -2, -2), 0);
  ASSERT_EQ(s.Square(kGreen, 40, 40), 0);
  EXPECT_EQ(s.Pixel(0, 0), kRed);
  EXPECT_EQ(s.Pixel(1, 1), kRed);
  EXPECT_EQ(s.Pixel(2, 2), kBackground);
  const LayerMove moves[2] = {{ObjectId{1, nullptr}, 14, 6}, {ObjectId{2, nullptr}, 0, 0}};
  ASSERT_EQ(s.layers->moveLayers(s.host.L(), s.d, moves, 2), 0);
  EXPECT_EQ(s.Pixel(1, 1), kGreen);
  EXPECT_EQ(s.Pixel(15, 7), kRed);
  // A display freed with layers frees them (the leak count tells).
  ASSERT_EQ(tzx::testing::RunCode(s.host,
                                  "CreateDisplay(2, {width = 8, height = 8}) "
                                  "OpenDisplay(2) CloseDisplay(1) FreeDisplay(1)"),
            "");
  s.host.Stop();
  EXPECT_EQ(s.host.LiveBlocks(), 0);
}

// The text library's slots 3 and 4 make text layers through the sibling.
TEST(Layers, TextLayersFromTheTextInterface) {
  tessera::Host host(
      tzx::testing::TestHostOptions({"graphics", "text", "display"}, {"object", "layers"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(tzx::testing::RunCode(host,
                                  "CreateDisplay(1, {width = 32, height = 16}) "
                                  "OpenDisplay(1) CreateTextObject(3, 'T')"),
            "");
  auto* text = static_cast<const text::TextInterface*>(InterfaceOf(host, "text"));
  auto* displays = static_cast<const display::DisplayInterface*>(InterfaceOf(host, "display"));
  auto* layers = static_cast<const LayersSibling*>(host::FindHostSibling("layers")->interface());
  display::DisplayRecord* d = nullptr;
  const ObjectId one{1, nullptr};
  ASSERT_EQ(displays->FindDisplay(&one, &d), 0);

  text::TextRequest request{};
  text->InitTextRequest(&request);
  request.text = "AB";
  request.length = 2;
  const ObjectId seven{7, nullptr};
  ASSERT_EQ(text->AddTextLayer(host.L(), d, &seven, 4, 2, 0, 0, &request), 0);
  EXPECT_EQ(layers->layerCount(d), 1);
  graphics::Rect box{};
  ASSERT_NE(layers->layerBox(d, &seven, &box), 0);
  EXPECT_GT(box.width, 0);
  // The same name again is refused.
  EXPECT_EQ(text->AddTextLayer(host.L(), d, &seven, 0, 0, 0, 0, &request), kErrObjectBusy);

  // A text object's request as a layer of the current display: numbered
  // after 7, and the object is shown by it.
  text::TextObjectLayerRecord record{};
  record.L = host.L();
  record.type = 8;
  record.id = ObjectId{3, nullptr};
  record.request = &request;
  ASSERT_EQ(text->AddTextObjectLayer(&record), 0);
  const ObjectId eight{8, nullptr};
  EXPECT_NE(layers->findLayer(d, &eight), nullptr);
  EXPECT_EQ(layers->inUse(8, &record.id, 0, 0, 0), 1);
  EXPECT_EQ(layers->inUse(3, &record.id, 0, 0, 0), 0);
  EXPECT_EQ(tzx::testing::RunCode(host, "assert(GetAttribute(DISPLAY, 1, ATTRLAYERS) == 2)"), "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

}  // namespace
