// Script commands of monitors, screen modes, full screen and display sizes.
// Result tables are built from copies, so that no record or host block is
// held while the interpreter allocates.
#include <algorithm>

#include "bindings.h"
#include "commands.h"
#include "display_list.h"
#include "display_options.h"
#include "mode_switch.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/size_argument.h"
#include "window_system.h"

namespace tzx::display {

namespace {

// More than any desktop has; the rest are not listed.
constexpr int kMaxMonitors = 64;
constexpr int kMaxModeSizes = 512;

// Sets t[index] of the table at the stack top to a new table with the
// fields, the first at index 0.
void PushEntry(lua_State* L, int index, const char* const* keys, const int* values, int count) {
  Lua().newtable(L);
  for (int i = 0; i < count; ++i) Args().setIntField(L, keys[i], values[i]);
  Lua().rawseti(L, -2, index);
}

int ReadMode(lua_State* L, int n) {
  if (Lua().type(L, n) == kLuaString) return ModeFromName(Lua().tolstring(L, n, nullptr));
  return Lua().checkinteger(L, n);
}

// "width", "height", "monitor" and the option flags of the table at `t`.
void ReadModeTable(lua_State* L, int t, ModeRequest* r) {
  const ArgumentServices& a = Args();
  a.fieldInt(L, t, "width", &r->width);
  a.fieldInt(L, t, "height", &r->height);
  a.fieldInt(L, t, "monitor", &r->monitor);
  a.fieldBool(L, t, "layerscale", &r->layerScale);
  a.fieldBool(L, t, "keepproportions", &r->keepProportions);
  a.fieldBool(L, t, "smoothscale", &r->smoothScale);
  a.fieldBool(L, t, "nobackfill", &r->noBackfill);
}

}  // namespace

// GetMonitors()
int GetMonitors(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  platform::ScreenRect rects[kMaxMonitors];
  int count = std::min(MonitorCount(), kMaxMonitors), known = 0;
  for (int i = 0; i < count; ++i) {
    if (MonitorRect(i + 1, &rects[known])) ++known;
  }
  static const char* const kKeys[] = {"x", "y", "width", "height"};
  Lua().newtable(L);
  for (int i = 0; i < known; ++i) {
    const int values[] = {rects[i].x, rects[i].y, rects[i].width, rects[i].height};
    PushEntry(L, i, kKeys, values, 4);
  }
  return 1;
}

// GetDisplayModes([monitor])
int GetDisplayModes(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  int monitor = Lua().optinteger(L, 1, 0);
  if (monitor == 0) {
    const DisplayRecord* d = CurrentDisplay();
    monitor = d ? d->monitor : 1;
  }
  if (monitor < 1 || monitor > MonitorCount()) return kErrUnknownMonitor;
  platform::ScreenMode* modes;
  int count;
  if (int rc = ReadScreenModes(monitor, &modes, &count)) return rc;
  if (count < 0) return ErrorWithNumber(kErrNoMonitorDevice, monitor);
  ModeSize sizes[kMaxModeSizes];
  int kept = 0;
  for (int i = 0; i < count && kept < kMaxModeSizes; ++i) {
    sizes[kept++] = ModeSize{modes[i].width, modes[i].height};
    kept = UniqueSizes(sizes, kept);
  }
  HostFree(modes);
  static const char* const kKeys[] = {"width", "height"};
  Lua().newtable(L);
  for (int i = 0; i < kept; ++i) {
    const int values[] = {sizes[i].width, sizes[i].height};
    PushEntry(L, i, kKeys, values, 2);
  }
  return 1;
}

// ChangeDisplayMode(mode[, width, height][, table]) or ChangeDisplayMode(mode, table)
int ChangeDisplayMode(lua_State* L) {
  L = Args().beginCommand(L, 1, 4, 0, 0);
  ModeRequest r{ReadMode(L, 1), 0, 0, 0};
  int table = 0;
  if (Lua().type(L, 2) == kLuaTable) {
    table = 2;
  } else if (Lua().type(L, 2) > kLuaNil) {
    r.width = Lua().checkinteger(L, 2);
    r.height = Lua().checkinteger(L, 3);
    if (Lua().type(L, 4) > kLuaNil) {
      Lua().checktable(L, 4);
      table = 4;
    }
  }
  if (table) ReadModeTable(L, table, &r);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (int rc = PinDisplay(L, d)) return rc;
  return ChangeDisplayModeCore(L, d, r);
}

// ChangeDisplaySize(width, height[, table or smooth])
int ChangeDisplaySize(lua_State* L) {
  L = Args().beginCommand(L, 2, 3, 0, 0);
  const SizeArgument w = ReadSizeArgument(L, 1), h = ReadSizeArgument(L, 2);
  int32_t smooth = -1;
  if (Lua().type(L, 3) == kLuaTable) {
    Args().fieldBool(L, 3, "smooth", &smooth);
  } else if (Lua().type(L, 3) > kLuaNil) {
    smooth = Lua().toboolean(L, 3);
  }
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (int rc = PinDisplay(L, d)) return rc;
  int width = w.Resolve(d->width), height = h.Resolve(d->height);
  if (width < 1 || height < 1) return kErrDisplaySize;
  if (gBound.graphics->ResolveKeepAspect(d->width, d->height, &width, &height))
    return kErrDisplaySize;
  if (smooth >= 0) d->flags = smooth ? d->flags | kFlagSmoothScale : d->flags & ~kFlagSmoothScale;
  return ResizeDisplayCore(L, d, width, height, false);
}

}  // namespace tzx::display
