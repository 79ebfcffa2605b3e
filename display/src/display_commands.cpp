// Script commands of displays: making, opening, closing, selecting, moving,
// hiding and titling them.
#include "bindings.h"
#include "commands.h"
#include "display_core.h"
#include "display_list.h"
#include "display_options.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"
#include "window_requests.h"
#include "window_system.h"

namespace tzx::display {

namespace {

// The position that leaves the window where it is.
constexpr int kKeepPosition = 100000;

int Lookup(lua_State* L, int n, DisplayRecord** out) {
  ObjectId id = Args().objectId(L, n);
  return FindDisplay(&id, out);
}

}  // namespace

// CreateDisplay(id[, table])
int CreateDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  DisplayRecord options{};
  SetDisplayDefaults(&options);
  if (Lua().type(L, 2) > kLuaNil) {
    Lua().checktable(L, 2);
    if (int rc = ReadDisplayOptions(L, 2, &options, true)) return rc;
  }
  // A display of that number gives way; when it cannot, the new one is not
  // made, so that no two displays share a number.
  if (!id.pointer) {
    if (ObjectHeader* old = FindObject(gDisplayList, id)) {
      if (int rc = FreeDisplayCore(L, reinterpret_cast<DisplayRecord*>(old))) return rc;
    }
  }
  DisplayRecord* d;
  if (int rc = CreateDisplayCore(L, options, id, &d)) return rc;
  if (!id.pointer) return 0;
  Args().pushObjectId(L, d->header.id);
  return 1;
}

// OpenDisplay(id[, table or noselect])
int OpenDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int32_t noSelect = 0, monitor = 0, x = 0, y = 0;
  bool hasX = false, hasY = false;
  if (Lua().type(L, 2) == kLuaTable) {
    Args().fieldBool(L, 2, "noselect", &noSelect);
    Args().fieldInt(L, 2, "monitor", &monitor);
    hasX = Args().fieldInt(L, 2, "x", &x);
    hasY = Args().fieldInt(L, 2, "y", &y);
  } else if (Lua().type(L, 2) > kLuaNil) {
    noSelect = Lua().checkinteger(L, 2);
  }
  DisplayRecord* d;
  if (int rc = FindDisplay(&id, &d)) return rc;
  if (IsOpen(d)) return kErrRange;
  if (monitor) {
    if (monitor < 1 || monitor > MonitorCount()) return kErrUnknownMonitor;
    d->monitor = monitor;
  }
  if (hasX) d->x = x;
  if (hasY) d->y = y;
  return OpenDisplayCore(L, d, noSelect ? kOpenNoSelect : 0);
}

// CloseDisplay(id)
int CloseDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  DisplayRecord* d;
  if (int rc = Lookup(L, 1, &d)) return rc;
  return CloseDisplayCore(d);
}

// FreeDisplay(id)
int FreeDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  DisplayRecord* d;
  if (int rc = Lookup(L, 1, &d)) return rc;
  return FreeDisplayCore(L, d);
}

// SelectDisplay(id[, flag])
int SelectDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int flag = Lua().optinteger(L, 2, 0);
  DisplayRecord* d;
  if (int rc = FindDisplay(&id, &d)) return rc;
  SelectDisplayCore(d, flag);
  return 0;
}

// ActivateDisplay(id[, flag])
int ActivateDisplay(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().objectId(L, 1);
  int flag = Lua().optinteger(L, 2, 0);
  DisplayRecord* d;
  if (int rc = FindDisplay(&id, &d)) return rc;
  return ActivateDisplayCore(d, flag);
}

// MoveDisplay(x, y)
int MoveDisplay(lua_State* L) {
  L = Args().beginCommand(L, 2, 2, 0, 0);
  int x = Lua().checkinteger(L, 1);
  int y = Lua().checkinteger(L, 2);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (!IsOpen(d)) {
    if (x != kKeepPosition) d->x = x;
    if (y != kKeepPosition) d->y = y;
    return 0;
  }
  int now[4];
  WindowRect(d, now);
  int toX, toY;
  if (!ResolveWindowPosition(d, x, y, &toX, &toY)) return kErrUnknownMonitor;
  if (x == kKeepPosition) toX = now[0];
  if (y == kKeepPosition) toY = now[1];
  if (x != kKeepPosition) d->x = x;
  if (y != kKeepPosition) d->y = y;
  MoveWindowTo(d, toX, toY);
  return 0;
}

// HideDisplay([flag])
int HideDisplay(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  Lua().optinteger(L, 1, 0);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (DisplayStateOf(d) != kStateOpen) return kErrRange;
  ShowWindow(d, platform::ShowCommand::kMinimize);
  SetDisplayState(d, kStateMinimized);
  return 0;
}

// ShowDisplay()
int ShowDisplay(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (DisplayStateOf(d) != kStateMinimized) return kErrRange;
  ShowWindow(d, platform::ShowCommand::kRestore);
  SetDisplayState(d, kStateOpen);
  return 0;
}

// SetTitle(title)
int SetTitle(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  const char* title = Args().encodedString(L, 1, nullptr, kEncodingUtf8, 0);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  Host().runtime->strlcpy(d->title, sizeof d->title, title);
  if (IsOpen(d)) UpdateWindowTitle(d);
  return 0;
}

// SetSubtitle(...): windows here have no subtitle.
int SetSubtitle(lua_State* L) {
  Args().beginCommand(L, 0, 255, 0, 0);
  return kErrNotOnPlatform;
}

// SetDisplayAttributes(table)
int SetDisplayAttributes(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  Lua().checktable(L, 1);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  // The option table's metamethods may run script code.
  if (int rc = PinDisplay(L, d)) return rc;
  // The options go into a copy first, so that a refused one changes nothing.
  DisplayRecord options = *d;
  if (int rc = ReadDisplayOptions(L, 1, &options, false)) return rc;
  return ApplyDisplayOptions(L, d, options);
}

}  // namespace tzx::display
