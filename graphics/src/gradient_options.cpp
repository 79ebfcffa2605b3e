#include "gradient_options.h"

#include <cmath>
#include <cstdio>

#include "colours.h"
#include "gradients.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::graphics {

namespace {

bool IsFraction(double v) {
  return v >= 0.0 && v <= 1.0;
}

// A fraction field: absent keeps *out; outside 0..1 is kErrRange.
int FractionField(lua_State* L, int table, const char* key, double* out) {
  double v = *out;
  if (!Args().fieldNumber(L, table, key, &v)) return 0;
  if (!IsFraction(v)) return kErrRange;
  *out = v;
  return 0;
}

// Pops the value that fieldByIndex pushed and hands back its number.
int NumberAt(lua_State* L, int list, int n, const char* key, double* out, bool* present) {
  const int type = Args().fieldByIndex(L, list, n);
  *present = type != kLuaNil;
  if (type == kLuaNumber) *out = Lua().tonumber(L, -1);
  Lua().settop(L, -2);
  return *present && type != kLuaNumber ? ErrorWithString(kErrNotNumber, key) : 0;
}

// The list {colour, position, ...} at `list` into stops and their count; 0
// or an error code.
int ReadStops(lua_State* L, int list, const char* key, GradientStop* stops, int* count) {
  int n = 0;
  for (;; ++n) {
    double color = 0, position = 0;
    bool present;
    if (int rc = NumberAt(L, list, 2 * n, key, &color, &present)) return rc;
    if (!present) break;
    if (n == kMaxGradientStops) return kErrTooMany;
    if (int rc = NumberAt(L, list, 2 * n + 1, key, &position, &present)) return rc;
    if (!present) return kErrMissingPosition;
    if (!IsFraction(position)) return kErrRange;
    stops[n].color = static_cast<uint32_t>(static_cast<int64_t>(std::floor(color + 0.5)));
    stops[n].position = position;
  }
  // One stop makes no gradient.
  if (n == 1) return kErrRange;
  *count = n;
  return 0;
}

}  // namespace

int ReadGradientTable(lua_State* L, int table, GradientRecord* g, const char* centerXKey,
                      const char* centerYKey, const char* balanceKey, const char* borderKey,
                      const char* colorsKey, int* given) {
  const int top = Lua().gettop(L);
  if (table < 0 && table > kRegistryIndex) table = top + table + 1;
  if (g->style == kRadial || g->style == kConical) {
    if (int rc = FractionField(L, table, centerXKey, &g->centerX)) return rc;
    if (int rc = FractionField(L, table, centerYKey, &g->centerY)) return rc;
    if (int rc = FractionField(L, table, balanceKey, &g->balance)) return rc;
    if (int rc = FractionField(L, table, borderKey, &g->border)) return rc;
  }
  const int type = Args().fieldByKey(L, table, colorsKey);
  if (type == kLuaNil) {
    Lua().settop(L, top);
    return 0;
  }
  if (type != kLuaTable) {
    Lua().settop(L, top);
    return ErrorWithString(kErrFieldNotTable, colorsKey);
  }
  // Read into a copy, so that a bad list leaves the record's stops alone.
  GradientStop stops[kMaxGradientStops];
  int count = 0;
  const int rc = ReadStops(L, Lua().gettop(L), colorsKey, stops, &count);
  Lua().settop(L, top);
  if (rc) return rc;
  for (int i = 0; i < count; ++i) g->stops[i] = stops[i];
  g->colorCount = count;
  if (count && given) *given = 1;
  return 0;
}

int ReadGradientOptions(lua_State* L, int index, GradientRecord* g) {
  const int style = g->style;
  InitGradientRecord(g, 0);
  g->style = style;
  const int count = Lua().gettop(L);
  // The options may stand in the angle's place when no angle follows.
  int options = index + 1;
  if (count == index && Lua().type(L, index) == kLuaTable) options = index;
  switch (style) {
    case 0:
    case 1:
      g->style = kLinear;
      g->angle = style == 0 ? 0 : 90;
      break;
    case kLinear:
    case kConical:
      if (options != index) g->angle = TruncateToInt32(Lua().optnumber(L, index, 0));
      break;
    case kRadial:
      break;
    default:
      return kErrRange;
  }
  if (count < options) return 0;
  Lua().checktable(L, options);
  return ReadGradientTable(L, options, g, "centerx", "centery", "balance", "border", "colors",
                           nullptr);
}

int ParseGradientTags(lua_State* L, int table, GradientRecord* g, int initFlag, int initialise) {
  if (initialise) InitGradientRecord(g, initFlag);
  const ArgumentServices& args = Args();
  args.fieldInt(L, table, "gradientstyle", &g->style);
  args.fieldColor(L, table, "gradientstartcolor", &g->startColor);
  args.fieldColor(L, table, "gradientendcolor", &g->endColor);
  args.fieldInt(L, table, "gradientangle", &g->angle);
  return ReadGradientTable(L, table, g, "gradientcenterx", "gradientcentery", "gradientbalance",
                           "gradientborder", "gradientcolors", nullptr);
}

int ReadGradientArgs(lua_State* L, int index, GradientRecord* g) {
  const LuaApi& lua = Lua();
  auto fraction = [&](int n) { return lua.checkunsigned(L, n) / 1000000.0; };
  const int style = lua.checkinteger(L, index);
  const double centerX = fraction(index + 1), centerY = fraction(index + 2);
  const double balance = fraction(index + 3), border = fraction(index + 4);
  const int count = lua.checkinteger(L, index + 5);
  if (count > kMaxGradientStops) return kErrTooMany;
  if (count < 0 || count == 1) return kErrRange;
  GradientStop stops[kMaxGradientStops];
  for (int i = 0; i < count; ++i) {
    stops[i].color = static_cast<uint32_t>(lua.checkinteger(L, index + 6 + 2 * i));
    stops[i].position = fraction(index + 7 + 2 * i);
    if (!IsFraction(stops[i].position)) return kErrRange;
  }
  if (!IsFraction(centerX) || !IsFraction(centerY) || !IsFraction(balance) || !IsFraction(border)) {
    return kErrRange;
  }
  g->style = style;
  g->centerX = centerX;
  g->centerY = centerY;
  g->balance = balance;
  g->border = border;
  g->colorCount = count;
  for (int i = 0; i < count; ++i) g->stops[i] = stops[i];
  return 0;
}

void PushGradientTable(lua_State* L, const char* prefix, const GradientRecord* gradient) {
  // A copy: the interpreter may run script code while the table grows.
  const GradientRecord g = *gradient;
  const ArgumentServices& args = Args();
  char key[256];
  auto name = [&](const char* format) {
    std::snprintf(key, sizeof key, format, prefix);
    return key;
  };
  args.setIntField(L, name("%sstyle"), g.style);
  args.setIntField(L, name("%sstartcolor"), static_cast<int32_t>(g.startColor));
  args.setIntField(L, name("%sendcolor"), static_cast<int32_t>(g.endColor));
  args.setIntField(L, name("%sangle"), g.angle);
  args.setNumberField(L, name("%scenterx"), g.centerX);
  args.setNumberField(L, name("%scentery"), g.centerY);
  args.setNumberField(L, name("%sbalance"), g.balance);
  args.setNumberField(L, name("%sborder"), g.border);
  if (g.colorCount == 0) return;
  const LuaApi& lua = Lua();
  lua.pushstring(L, name("%scolors"));
  lua.newtable(L);
  const int count = g.colorCount < kMaxGradientStops ? g.colorCount : kMaxGradientStops;
  for (int i = 0; i < count; ++i) {
    lua.pushnumber(L, static_cast<double>(g.stops[i].color));
    lua.rawseti(L, -2, 2 * i);
    lua.pushnumber(L, g.stops[i].position);
    lua.rawseti(L, -2, 2 * i + 1);
  }
  lua.settable(L, -3);
}

}  // namespace tzx::graphics
