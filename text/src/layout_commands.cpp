// Commands that place and measure text: TextOut, TextWidth, TextHeight and
// TextExtent.
#include "layout_options.h"
#include "print.h"
#include "print_glue.h"
#include "style_measure.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"

// After the fonts' TextExtent record: the command of that name hides it, and
// this file names the record as "struct TextExtent".
#include "commands.h"

namespace tzx::text {

namespace {

// Numbers of the array at table[key], indexed from 0 up to the first missing
// index, in a userdata left on the stack top. A missing key pushes nothing
// and gives a count of -1; another value than a table is 1598, a value that
// is no number 1189 naming the key.
int FieldNumberArray(lua_State* L, int table, const char* key, int32_t** out, int* count) {
  const int type = Args().fieldByKey(L, table, key);
  if (type == kLuaNil) {
    Lua().settop(L, -2);
    *count = -1;
    return 0;
  }
  if (type != kLuaTable) return kErrNotTable;
  const int t = Lua().gettop(L);
  int n = 0;
  while (Args().fieldByIndex(L, t, n) != kLuaNil) {
    Lua().settop(L, -2);
    ++n;
  }
  Lua().settop(L, -2);
  auto* values = static_cast<int32_t*>(Lua().newuserdata(L, (n > 0 ? n : 1) * sizeof(int32_t)));
  for (int i = 0; i < n; ++i) {
    int error = 0;
    Args().fieldByIndex(L, t, i);
    const double v = Args().stackNumber(L, -1, &error);
    Lua().settop(L, -2);
    if (error) return ErrorWithString(kErrNotNumber, key);
    values[i] = static_cast<int32_t>(v);
  }
  Lua().remove(L, t);
  *out = values;
  *count = n;
  return 0;
}

int ReadWrapTable(lua_State* L, int table, LayoutRequest* r) {
  int32_t* values = nullptr;
  int count = 0;
  if (int rc = FieldNumberArray(L, table, "wraptable", &values, &count)) return rc;
  if (count < 0) return 0;
  r->wrapTable = values;  // a userdata that stays on the stack
  r->wrapTableCount = count;
  return 0;
}

bool FieldFlag(lua_State* L, int table, const char* key, bool* out) {
  int32_t v = 0;
  if (!Args().fieldBool(L, table, key, &v)) return false;
  *out = v != 0;
  return true;
}

// The options table of TextOut; the colour options decide palette mode, so
// they are read first.
int ReadOptions(lua_State* L, int table, const graphics::OutputRecord* output, LayoutRequest* r) {
  uint32_t color = 0;
  const bool rgb = Args().fieldColor(L, table, "color", &color);
  int32_t pen = 0;
  const bool hasPen = Args().fieldInt(L, table, "pen", &pen);
  if (int rc = StartRequest(r, output, rgb)) return rc;
  if (rgb) r->style.fontColor = color;
  if (hasPen) r->style.fontPen = pen;
  Args().fieldInt(L, table, "align", &r->align);
  Args().fieldInt(L, table, "wordwrap", &r->wrapWidth);
  Args().fieldInt(L, table, "encoding", &r->encoding);
  Args().fieldInt(L, table, "linespacing", &r->lineSpacing);
  Args().fieldInt(L, table, "charspacing", &r->charSpacing);
  Args().fieldInt(L, table, "framemode", &r->frameMode);
  Args().fieldInt(L, table, "frame", &r->frame);
  FieldFlag(L, table, "listmode", &r->listMode);
  FieldFlag(L, table, "simplelist", &r->simpleList);
  FieldFlag(L, table, "useformattags", &r->formatTags);
  if (r->frame < 1) return kErrFrameRange;
  if (int rc = ReadListSettings(L, table, r)) return rc;
  if (int rc = ReadTabs(L, table, r)) return rc;
  return ReadWrapTable(L, table, r);
}

// TextWidth's and TextExtent's second argument: an encoding or a table with
// "encoding" and "charspacing".
void ReadMeasureOptions(lua_State* L, int* encoding, int* charSpacing) {
  *encoding = DefaultEncoding();
  *charSpacing = 0;
  if (Lua().gettop(L) < 2 || Lua().type(L, 2) == kLuaNil) return;
  if (Lua().type(L, 2) == kLuaTable) {
    Args().fieldInt(L, 2, "encoding", encoding);
    Args().fieldInt(L, 2, "charspacing", charSpacing);
    return;
  }
  *encoding = Lua().checkinteger(L, 2);
}

int MeasureArgument(lua_State* L, struct TextExtent* e) {
  int encoding = 0;
  int charSpacing = 0;
  ReadMeasureOptions(L, &encoding, &charSpacing);
  const char* text = nullptr;
  size_t length = 0;
  if (int rc = TextArg(L, 1, encoding, &text, &length)) return rc;
  const TextStyle& style = CurrentStyle();
  if (!style.font) return kErrFontNotFound;
  return MeasureInStyle(style, text, length, encoding, charSpacing, e);
}

}  // namespace

namespace {

struct ListKey {
  const char* name;
  const char* def;
  ListSetting setting;
};

constexpr ListKey kListKeys[] = {
    {"listbullet", "deflistbullet", kListBullet},
    {"listindent", "deflistindent", kListIndent},
    {"listoffset", "deflistoffset", kListOffset},
    {"listspacing", "deflistspacing", kListSpacing},
};

}  // namespace

int ReadListSettings(lua_State* L, int table, LayoutRequest* r) {
  for (const ListKey& k : kListKeys) {
    int32_t all = 0;
    if (Args().fieldInt(L, table, k.def, &all)) {
      if (all < 0 && k.setting != kListSpacing) return kErrRange;
      for (int32_t& v : r->list[k.setting]) v = all;
    }
    int32_t* values = nullptr;
    int count = 0;
    if (int rc = FieldNumberArray(L, table, k.name, &values, &count)) return rc;
    if (count < 0) continue;
    for (int i = 0; i < count && i < kListLevels; ++i) {
      if (values[i] < 0 && k.setting != kListSpacing) return kErrRange;
      r->list[k.setting][i] = values[i];
    }
    Lua().settop(L, -2);  // the values
  }
  return 0;
}

int ReadTabs(lua_State* L, int table, LayoutRequest* r) {
  int32_t* values = nullptr;
  int count = 0;
  if (int rc = FieldNumberArray(L, table, "tabs", &values, &count)) return rc;
  if (count < 0) return 0;
  if (count > kMaxTabs - 1) return kErrTooMany;
  for (int i = 0; i < count; ++i) {
    if (values[i] < 0) return kErrNegativePosition;
    int k = i;
    while (k > 0 && r->tabs[k - 1] > values[i]) {
      r->tabs[k] = r->tabs[k - 1];
      --k;
    }
    r->tabs[k] = values[i];
  }
  r->tabCount = count;
  Lua().settop(L, -2);
  return 0;
}

// The draw-tag parser's flag: start from the draw-tag defaults.
constexpr uint32_t kParseFromDefaults = 0x01;

// TextOut(x, y, text[, options]) or TextOut(x, y, text, align[, wordwrap]).
int TextOut(lua_State* L) {
  L = Args().beginCommand(L, 3, 5, 0, 0);
  const int32_t x = Lua().checkinteger(L, 1);
  const int32_t y = Lua().checkinteger(L, 2);
  Lua().checklstring(L, 3, nullptr);
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  LayoutRequest r;
  const bool table = Lua().gettop(L) == 4 && Lua().type(L, 4) == kLuaTable;
  // The draw tags are read while the table is the top of the stack; the
  // text's size is known only later, so the matrix is built again then.
  TextDrawTags drawTags;
  bool effects = false;
  if (table) {
    if ((rc = gBound.graphics->ParseDrawTags(L, 4, 1, 1, 0, 0, 0, &drawTags.transform,
                                             &drawTags.tags, kParseFromDefaults))) {
      return rc;
    }
    effects = DrawTagsNeedEffects(drawTags.transform, drawTags.tags);
  }
  if (table) {
    rc = ReadOptions(L, 4, output, &r);
  } else {
    rc = StartRequest(&r, output, false);
    if (!rc && Lua().gettop(L) >= 4 && Lua().type(L, 4) != kLuaNil)
      r.align = Lua().checkinteger(L, 4);
    if (!rc && Lua().gettop(L) >= 5 && Lua().type(L, 5) != kLuaNil) {
      r.wrapWidth = Lua().checkinteger(L, 5);
    }
  }
  if (rc) return rc;
  if ((rc = TextArg(L, 3, r.encoding, &r.text, &r.length))) return rc;
  if (r.formatTags) r.constants = CollectTagConstants(L, r.text, r.length);
  Layout layout;
  return DrawText(L, r, x, y, true, effects ? &drawTags : nullptr, &layout);
}

int TextWidth(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  struct TextExtent e;
  if (int rc = MeasureArgument(L, &e)) return rc;
  Lua().pushnumber(L, e.width);
  return 1;
}

// TextHeight(text): the current font's height, whatever the text.
int TextHeight(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  Lua().checklstring(L, 1, nullptr);
  const TextStyle& style = CurrentStyle();
  if (!style.font) return kErrFontNotFound;
  Lua().pushnumber(L, style.font->height);
  return 1;
}

int TextExtent(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  struct TextExtent e;
  if (int rc = MeasureArgument(L, &e)) return rc;
  Lua().newtable(L);
  Args().setIntField(L, "minx", e.minX + e.inkX);
  Args().setIntField(L, "maxx", e.maxX + e.inkRight);
  Args().setIntField(L, "miny", e.minY + e.inkY);
  Args().setIntField(L, "maxy", e.inkBottom + e.maxY);
  Args().setIntField(L, "width", e.width);
  Args().setIntField(L, "height", e.height);
  return 1;
}

}  // namespace tzx::text
