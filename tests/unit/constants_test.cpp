// The constant tables handed to the host: their shape (the host walks each to the
// first all-zero row), their names, and values that scripts rely on.
#include "brush/src/constants.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "display/src/constants.h"
#include "dos/src/constants.h"
#include "graphics/src/constants.h"
#include "text/src/constants.h"

namespace {

using tzx::ConstantRow;

struct Table {
  const char* library;
  const ConstantRow* rows;
  size_t count;
  size_t expected;
};

// Test names and listings show the library, not the record's bytes.
void PrintTo(const Table& t, std::ostream* os) {
  *os << t.library;
}

const Table kTables[] = {
    {"graphics", tzx::graphics::kConstants, tzx::graphics::kConstantCount, 70},
    {"brush", tzx::brush::kConstants, tzx::brush::kConstantCount, 19},
    {"text", tzx::text::kConstants, tzx::text::kConstantCount, 105},
    {"display", tzx::display::kConstants, tzx::display::kConstantCount, 123},
    {"dos", tzx::dos::kConstants, tzx::dos::kConstantCount, 63},
};

const Table& TableOf(std::string_view library) {
  for (const Table& t : kTables) {
    if (library == t.library) return t;
  }
  ADD_FAILURE() << "no table " << library;
  return kTables[0];
}

// The row as the host finds it: by walking to the end row, not by trusting the count.
const ConstantRow* Find(const Table& t, std::string_view name) {
  for (const ConstantRow* r = t.rows; r->name != nullptr; ++r) {
    if (name == r->name) return r;
  }
  return nullptr;
}

void ExpectNumber(std::string_view library, std::string_view name, double value) {
  const ConstantRow* r = Find(TableOf(library), name);
  ASSERT_NE(r, nullptr) << library << " lacks " << name;
  EXPECT_EQ(r->string, nullptr) << name;
  EXPECT_EQ(r->number, value) << name;
}

void ExpectString(std::string_view library, std::string_view name, std::string_view value) {
  const ConstantRow* r = Find(TableOf(library), name);
  ASSERT_NE(r, nullptr) << library << " lacks " << name;
  ASSERT_NE(r->string, nullptr) << name;
  EXPECT_EQ(std::string_view(r->string), value) << name;
}

class ConstantTableTest : public testing::TestWithParam<Table> {};

TEST_P(ConstantTableTest, EndsWithZeroRowAtExpectedCount) {
  const Table& t = GetParam();
  EXPECT_EQ(t.count, t.expected);
  for (size_t i = 0; i < t.expected; ++i) {
    ASSERT_NE(t.rows[i].name, nullptr) << "table ends early at row " << i;
  }
  const ConstantRow& end = t.rows[t.expected];
  EXPECT_EQ(end.name, nullptr);
  EXPECT_EQ(end.string, nullptr);
  EXPECT_EQ(end.number, 0.0);
}

TEST_P(ConstantTableTest, NamesAreUniqueAndUpperCase) {
  const Table& t = GetParam();
  std::set<std::string_view> seen;
  for (size_t i = 0; i < t.expected; ++i) {
    std::string_view name = t.rows[i].name;
    EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
    ASSERT_FALSE(name.empty()) << "row " << i;
    EXPECT_FALSE(name.front() >= '0' && name.front() <= '9') << name;
    for (char c : name) {
      EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') << name;
    }
  }
}

TEST_P(ConstantTableTest, StringRowsHaveNumberZero) {
  const Table& t = GetParam();
  for (size_t i = 0; i < t.expected; ++i) {
    if (t.rows[i].string != nullptr) {
      EXPECT_EQ(t.rows[i].number, 0.0) << t.rows[i].name;
      EXPECT_NE(t.rows[i].string[0], '\0') << t.rows[i].name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllLibraries, ConstantTableTest, testing::ValuesIn(kTables),
                         [](const testing::TestParamInfo<Table>& info) {
                           return std::string(info.param.library);
                         });

// Constants are script globals: a name published by two libraries must mean the same
// value, or the one loaded last would silently change what scripts see.
TEST(ConstantTables, SharedNamesAgreeAcrossLibraries) {
  std::map<std::string_view, const ConstantRow*> first;
  size_t shared = 0;
  for (const Table& t : kTables) {
    for (size_t i = 0; i < t.count; ++i) {
      const ConstantRow* r = &t.rows[i];
      auto [it, inserted] = first.emplace(r->name, r);
      if (inserted) continue;
      ++shared;
      EXPECT_EQ(it->second->number, r->number) << r->name << " differs in " << t.library;
      EXPECT_EQ(it->second->string == nullptr, r->string == nullptr) << r->name;
    }
  }
  EXPECT_GT(shared, 0u);  // e.g. ATTRWIDTH, BOX, the font attributes
}

TEST(ConstantTables, DosValues) {
  ExpectNumber("dos", "FILE", 44);
  ExpectNumber("dos", "DIRECTORY", 45);
  ExpectNumber("dos", "MODE_READWRITE", 1004);
  ExpectNumber("dos", "MODE_READ", 1005);
  ExpectNumber("dos", "MODE_WRITE", 1006);
  ExpectNumber("dos", "EOF", -1);
  ExpectNumber("dos", "SEEK_BEGINNING", 1);
  ExpectNumber("dos", "IO_FAKE64", 8);
  ExpectNumber("dos", "ATTRENCODING", 122);
  ExpectNumber("dos", "COUNTSEPARATE", 3);
  ExpectNumber("dos", "MOVEFILE_DELETEFAILED", 4);
  ExpectNumber("dos", "FILEATTR_READONLY", 32768);
  ExpectNumber("dos", "FILEATTR_NORMAL", 65536);
  ExpectNumber("dos", "USEDSPACE", 0);
  ExpectString("dos", "STDIN", "::stdin");
  ExpectString("dos", "STDERR", "::stderr");
  ExpectString("dos", "MEDIA_DOWNLOADS", "::downloads");
}

TEST(ConstantTables, GraphicsValues) {
  ExpectNumber("graphics", "SILVER", 0xC0C0C0);
  ExpectNumber("graphics", "FUCHSIA", 0xFF00FF);
  ExpectNumber("graphics", "CENTER", -100000);
  ExpectNumber("graphics", "BOTTOMOUT", -20000);
  ExpectNumber("graphics", "KEEPASPRAT", 100000);
  ExpectNumber("graphics", "SPRITE_VS_BRUSH", 58);
  ExpectNumber("graphics", "BORDER", 64);
  ExpectNumber("graphics", "EDGE", 64);
  ExpectNumber("graphics", "SHDWSOUTHEAST", 3);
  ExpectNumber("graphics", "JUSTIFIED", -110001);
  ExpectNumber("graphics", "IMGFMT_UNKNOWN", 8);
  // The no-colour value is handed over unsigned, never as -1.
  ExpectNumber("graphics", "NOCOLOR", 4294967295.0);
  ExpectNumber("graphics", "NOTRANSPARENCY", 4294967295.0);
}

TEST(ConstantTables, GraphicsOrder) {
  const Table& t = TableOf("graphics");
  EXPECT_STREQ(t.rows[0].name, "BLACK");
  EXPECT_STREQ(t.rows[15].name, "WHITE");
  EXPECT_STREQ(t.rows[16].name, "CENTER");
  EXPECT_STREQ(t.rows[t.count - 1].name, "BOX");
}

TEST(ConstantTables, BrushValues) {
  ExpectNumber("brush", "BRUSH", 3);
  ExpectNumber("brush", "BRUSHPART", 12);
  ExpectNumber("brush", "MASK", 28);
  ExpectNumber("brush", "ALPHACHANNEL", 30);
  ExpectNumber("brush", "ATTRTRANSPARENTCOLOR", 5);
  ExpectNumber("brush", "ATTRLOADER", 91);
  ExpectNumber("brush", "ATTRCYCLE", 106);
  ExpectNumber("brush", "NONE", -1);
}

TEST(ConstantTables, TextValues) {
  ExpectString("text", "BITMAP_DEFAULT", ":::default_bitmap");
  ExpectString("text", "MONOSPACE", ":::default_mono");
  ExpectNumber("text", "FONTENGINE_INBUILT", 4);
  ExpectNumber("text", "FONTTYPE_PLUGIN", 4);
  ExpectNumber("text", "CHARMAP_APPLEROMAN", 12);
  ExpectNumber("text", "FONTWEIGHT_NORMAL", 80);
  ExpectNumber("text", "FONTWEIGHT_ULTRABLACK", 215);
  ExpectNumber("text", "FONTSLANT_OBLIQUE", 110);
  ExpectNumber("text", "FONT", 43);
  ExpectNumber("text", "TEXTOBJECT", 8);
  ExpectNumber("text", "TEXTOUT", 9);
  ExpectNumber("text", "PRINT", 11);
  ExpectNumber("text", "BULLET_HOLLOWCIRCLE", 23);
  ExpectNumber("text", "BULLET_UROMANDOUBLE", 22);
  ExpectNumber("text", "FRAMEMODE_SINGLE", 1);
  ExpectNumber("text", "HEXNUMERICAL", 4);
  ExpectNumber("text", "ATTRTEXT", 36);
  ExpectNumber("text", "ATTRFONTFORMAT", 128);
}

TEST(ConstantTables, DisplayValues) {
  ExpectNumber("display", "DISPLAY", 21);
  ExpectNumber("display", "DOUBLEBUFFER", 38);
  ExpectNumber("display", "SNAPDESKTOP", 2);
  ExpectNumber("display", "DISPSTATE_MINIMIZED", 2);
  ExpectNumber("display", "DISPMODE_ASKLAYERS", 13);
  ExpectNumber("display", "DISPMODE_MODESWITCH", 9);
  ExpectNumber("display", "KEEPPOSITION", 100000);
  ExpectNumber("display", "ORIENTATION_LANDSCAPE", 3);
  ExpectNumber("display", "ORIENTATION_PORTRAITREV", 2);
  ExpectNumber("display", "IMMERSIVE_STICKY", 3);
  ExpectNumber("display", "ATTRHOSTTITLEBARHEIGHT", 93);
  ExpectNumber("display", "ATTRSCALESWITCH", 121);
}

}  // namespace
