#include "draw_tags.h"

#include <algorithm>
#include <cstdio>

#include "bindings.h"
#include "colours.h"
#include "draw_record.h"
#include "graphics_state.h"
#include "transform_matrix.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::graphics {

namespace {

int32_t ClampLevel(double v) {
  return std::clamp(TruncateToInt32(v), 0, 255);
}

// Puts the stack back as it was on every way out of a reader that pushes.
class StackMark {
 public:
  explicit StackMark(lua_State* L) : L_(L), top_(Lua().gettop(L)) {}
  int Restore(int result) {
    Lua().settop(L_, top_);
    return result;
  }

 private:
  lua_State* L_;
  int top_;
};

// A number field that must be a number when present: 0 or kErrNotNumber with
// `what` as the error argument.
int OptionalNumber(lua_State* L, int table, const char* key, const char* what, double* out,
                   bool* present) {
  int type = Args().fieldByKey(L, table, key);
  *present = type != kLuaNil;
  if (type == kLuaNumber) *out = Lua().tonumber(L, -1);
  Lua().settop(L, -2);
  return *present && type != kLuaNumber ? ErrorWithString(kErrNotNumber, what) : 0;
}

int FilterKindByName(const char* name) {
  for (int kind = 0; kind < kFilterKinds; ++kind) {
    if (Host().runtime->strcmp(kFilterTable[kind].name, name) == 0) return kind;
  }
  return -1;
}

// Fills the entry's int and float slots in argument order; arguments past
// `given` take the table's defaults.
void StoreFilterArguments(const FilterKind& kind, const double* values, int given, FilterEntry* e) {
  int ints = 0, floats = 0;
  for (int i = 0; i < 4; ++i) {
    e->ints[i] = 0;
    e->floats[i] = 0.0f;
  }
  for (int i = 0; i < kind.argumentCount; ++i) {
    const double v = i < given ? values[i] : kind.defaults[i];
    switch (kind.argumentKinds[i]) {
      case kFilterArgInt:
        e->ints[ints++] = TruncateToInt32(v);
        break;
      case kFilterArgLevel:
        e->ints[ints++] = ClampLevel(v);
        break;
      default:
        e->floats[floats++] = static_cast<float>(v);
        break;
    }
  }
}

// One entry of the "filters" list, the table at `entry`; `position` is its
// index in the list.
int ParseFilterEntry(lua_State* L, int entry, int position, FilterEntry* entries) {
  StackMark mark(L);
  int type = Args().fieldByKey(L, entry, "name");
  if (type == kLuaNil) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", position);
    return mark.Restore(ErrorWithString(kErrFilterWithoutName, number));
  }
  if (type != kLuaString) return mark.Restore(kErrNotString);
  const char* name = Lua().tolstring(L, -1, nullptr);
  const int kind = FilterKindByName(name);
  if (kind < 0) return mark.Restore(ErrorWithString(kErrUnknownFilter, name));
  Lua().settop(L, -2);

  FilterEntry& e = entries[kind];
  double v = 0;
  bool present;
  if (int rc = OptionalNumber(L, entry, "disable", "filters", &v, &present)) return rc;
  if (present && TruncateToInt32(v) != 0) {
    e.enabled = 0;
    return 0;
  }
  double priority = 0;
  if (int rc = OptionalNumber(L, entry, "priority", "filters", &priority, &present)) return rc;

  const FilterKind& row = kFilterTable[kind];
  double values[5];
  int given = 0;
  type = Args().fieldByKey(L, entry, "args");
  if (type != kLuaNil) {
    if (type != kLuaTable) return mark.Restore(ErrorWithString(kErrFieldNotTable, "args"));
    const int args = Lua().gettop(L);
    for (; given < row.argumentCount; ++given) {
      int t = Args().fieldByIndex(L, args, given);
      if (t == kLuaNil) break;
      if (t != kLuaNumber) return mark.Restore(ErrorWithString(kErrNotNumber, "args"));
      values[given] = Lua().tonumber(L, -1);
      Lua().settop(L, -2);
    }
  }
  e.enabled = 1;
  e.priority = static_cast<uint8_t>(TruncateToInt32(priority));
  StoreFilterArguments(row, values, given, &e);
  return mark.Restore(0);
}

// "insertpos" through the layers library, when it is bound.
int ParseInsertPosition(lua_State* L, int table, TagRecord* tags, bool* effects) {
  auto* layers = gBound.layers;
  if (!layers || !layers->readInsertPos) return 0;
  int32_t position = tags->insertPosition;
  if (!layers->readInsertPos(L, table, "insertpos", &position, 0)) return 0;
  if (position < 0) return kErrNegativeInsertPos;
  const int count =
      gCurrentDisplay && layers->layerCount ? layers->layerCount(gCurrentDisplay->owner) : 0;
  if (count > 0 && position > count + 1) position = count + 1;
  tags->insertPosition = position;
  if (position != 0 && position != count + 1) *effects = true;
  return 0;
}

// The transform part: steps 4 to 11.
int ParseTransformTags(lua_State* L, int table, int sourceWidth, int sourceHeight, int smoothScale,
                       TransformRecord* t, uint32_t flags) {
  const ArgumentServices& args = Args();
  double matrix[4];
  if (args.fieldMatrix(L, table, "transform", matrix)) {
    if (matrix[0] == 0.0 || matrix[3] == 0.0) return kErrRange;
    for (int i = 0; i < 4; ++i) t->matrix[i] = t->givenMatrix[i] = matrix[i];
    t->matrixGiven = 1;
  } else {
    const bool scaleX = args.fieldNumber(L, table, "scalex", &t->scaleX);
    if (scaleX && t->scaleX == 0.0) return kErrRange;
    const bool scaleY = args.fieldNumber(L, table, "scaley", &t->scaleY);
    if (scaleY && t->scaleY == 0.0) return kErrRange;
    bool sizeGiven = false;
    if (!scaleX && !scaleY && !(flags & kParseNoSize)) {
      args.fieldInt(L, table, "width", &t->width);
      args.fieldInt(L, table, "height", &t->height);
      sizeGiven = t->width != 0 || t->height != 0;
      if (t->width != 0 && sourceWidth != 0 && t->width != sourceWidth) {
        t->scaleX = static_cast<double>(t->width) / sourceWidth;
      }
      if (t->height != 0 && sourceHeight != 0 && t->height != sourceHeight) {
        t->scaleY = static_cast<double>(t->height) / sourceHeight;
      }
    }
    bool rotate = false;
    if (!(flags & kParseNoRotate)) {
      rotate = args.fieldNumber(L, table, "rotate", &t->rotate);
      if (rotate) t->rotate = Host().math->fmod(t->rotate, 360.0);
      if (t->rotate != 0.0) {
        if (flags & kParseSmoothWithRotate) t->smoothScale = smoothScale;
        if (t->scaleX != 1.0 || t->scaleY != 1.0) t->scaleAndRotate = 1;
      }
    }
    if (scaleX || scaleY || rotate || sizeGiven) {
      BuildTransformMatrix(t, t->width, t->height, sourceWidth, sourceHeight);
    } else {
      t->matrixGiven = 0;
    }
  }
  args.fieldInt(L, table, "smoothscale", &t->smoothScale);
  if (args.fieldNumber(L, table, "anchorx", &t->anchorX) &&
      !(t->anchorX >= 0.0 && t->anchorX <= 1.0)) {
    return kErrRange;
  }
  if (args.fieldNumber(L, table, "anchory", &t->anchorY) &&
      !(t->anchorY >= 0.0 && t->anchorY <= 1.0)) {
    return kErrRange;
  }
  return 0;
}

bool AnyEffect(const TagRecord& tags) {
  return tags.hidden || tags.transparency || HasFilters(tags.filters) || tags.shadow.on ||
         tags.border.on;
}

// The tag part: steps 13 to 19.
int ParseTagTags(lua_State* L, int table, TagRecord* tags) {
  const ArgumentServices& args = Args();
  args.fieldInt(L, table, "hidden", &tags->hidden);
  double level;
  if (args.fieldNumber(L, table, "transparency", &level)) tags->transparency = ClampLevel(level);
  FilterEntry& tint = tags->filters[kFilterTint];
  if (args.fieldNumber(L, table, "tint", &level)) {
    tint.ints[1] = ClampLevel(level);
    tint.enabled = tint.ints[1] != 0;
  }
  uint32_t color;
  if (args.fieldColor(L, table, "tintcolor", &color)) tint.ints[0] = static_cast<int32_t>(color);
  bool insertEffect = false;
  if (int rc = ParseInsertPosition(L, table, tags, &insertEffect)) return rc;
  args.fieldInt(L, table, "globaltransparency", &tags->globalTransparency);
  if (int rc = ParseShadowTags(L, table, &tags->shadow, 0, 0)) return rc;
  if (int rc = ParseBorderTags(L, table, 0, &tags->border, 0)) return rc;
  int given = 0, error = 0;
  ParseFiltersTag(L, table, tags->filters, &given, &error);
  if (error) return error;
  tags->hasEffects = AnyEffect(*tags) || insertEffect ? 1 : 0;

  // One byte more than a name holds shows a text that is too long; no copy
  // is allocated, so none can be left behind.
  char text[sizeof tags->name + 1] = {};
  if (args.fieldString(L, table, "name", text, sizeof text)) {
    const size_t length = Host().runtime->strlen(text);
    if (length == 0) return kErrRange;
    if (length >= sizeof tags->name) return kErrNameTooLong;
    Host().runtime->strlcpy(tags->name, sizeof tags->name, text);
  }
  if (args.fieldString(L, table, "group", text, sizeof text)) {
    if (tags->name[0] && Host().runtime->strcmp(tags->name, text) == 0) return kErrGroupIsName;
    const size_t length = Host().runtime->strlen(text);
    if (length == 0) return kErrRange;
    if (length >= sizeof tags->group) return kErrNameTooLong;
    Host().runtime->strlcpy(tags->group, sizeof tags->group, text);
  }
  return 0;
}

}  // namespace

int ParseShadowTags(lua_State* L, int table, ShadowRecord* shadow, int, int) {
  const ArgumentServices& args = Args();
  args.fieldInt(L, table, "shadow", &shadow->on);
  if (!shadow->on) return 0;
  args.fieldColor(L, table, "shadowcolor", &shadow->color);
  args.fieldInt(L, table, "shadowpen", &shadow->pen);
  args.fieldInt(L, table, "shadowdir", &shadow->direction);
  args.fieldInt(L, table, "shadowsize", &shadow->size);
  args.fieldNumber(L, table, "shadowradius", &shadow->radius);
  args.fieldNumber(L, table, "shadowsigma", &shadow->sigma);
  if (!(shadow->radius >= 1.0) || shadow->size < 0 || !(shadow->sigma > 0.0)) return kErrRange;
  return 0;
}

int ParseBorderTags(lua_State* L, int table, int edgeNames, BorderRecord* border, int) {
  const ArgumentServices& args = Args();
  args.fieldInt(L, table, "border", &border->on);
  args.fieldColor(L, table, "bordercolor", &border->color);
  args.fieldInt(L, table, "borderpen", &border->pen);
  args.fieldInt(L, table, "bordersize", &border->size);
  if (edgeNames) {
    args.fieldColor(L, table, "edgecolor", &border->color);
    args.fieldInt(L, table, "edgesize", &border->size);
    args.fieldInt(L, table, "outlinethickness", &border->size);
  }
  return border->on && border->size < 1 ? kErrRange : 0;
}

int ParseFiltersTag(lua_State* L, int table, FilterEntry* entries, int* given, int* error) {
  *error = 0;
  if (given) *given = 0;
  StackMark mark(L);
  int type = Args().fieldByKey(L, table, "filters");
  if (type == kLuaNil) return mark.Restore(0);
  if (type != kLuaTable) {
    *error = ErrorWithString(kErrFieldNotTable, "filters");
    return mark.Restore(0);
  }
  if (given) *given = 1;
  const int list = Lua().gettop(L);
  // The list starts at index 0 and ends at the first missing index.
  for (int position = 0;; ++position) {
    type = Args().fieldByIndex(L, list, position);
    if (type == kLuaNil) break;
    if (type != kLuaTable) {
      *error = ErrorWithString(kErrFieldNotTable, "filters");
      break;
    }
    *error = ParseFilterEntry(L, Lua().gettop(L), position, entries);
    Lua().settop(L, -2);
    if (*error) break;
  }
  return mark.Restore(1);
}

int ParseDrawTags(lua_State* L, int index, int sourceWidth, int sourceHeight, int width, int height,
                  int smoothScale, TransformRecord* t, TagRecord* tags, uint32_t flags) {
  if (width == sourceWidth) width = 0;
  if (height == sourceHeight) height = 0;
  if (flags & kParseFromDefaults) {
    InitDrawRecord(t, tags, width, height, smoothScale,
                   flags & kParseSmoothWithRotate ? kInitKeepSmoothScale : 0);
  } else {
    if (width) t->width = width;
    if (height) t->height = height;
  }
  if (index < 1 || index != Lua().gettop(L) || Lua().type(L, index) != kLuaTable) {
    if (flags & kParseTableRequired) return ErrorWithNumber(kErrTableArgument, index);
    if (width || height) BuildTransformMatrix(t, t->width, t->height, sourceWidth, sourceHeight);
    return 0;
  }
  if (int rc = ParseTransformTags(L, index, sourceWidth, sourceHeight, smoothScale, t, flags)) {
    return rc;
  }
  return tags ? ParseTagTags(L, index, tags) : 0;
}

}  // namespace tzx::graphics
