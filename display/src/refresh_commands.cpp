// Script commands of refresh, frame pacing, double buffering, clearing and
// snapshots.
#include <cstring>

#include "bindings.h"
#include "commands.h"
#include "display_core.h"
#include "display_list.h"
#include "double_buffer.h"
#include "frame_pacing.h"
#include "refresh.h"
#include "snapshot.h"
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/graphics_constants.h"

namespace tzx::display {

namespace {

using graphics::BitmapHandle;
using graphics::OutputRecord;

struct RefreshKey {
  const char* key;
  uint32_t flag;
};

constexpr RefreshKey kRefreshKeys[] = {
    {"forcerefresh", kRefreshForce},      {"forcevideo", kRefreshForceVideo},
    {"novideo", kRefreshNoVideo},         {"skipclip", kRefreshSkipClip},
    {"skipsats", kRefreshSkipSatellites},
};

int ClearPlane(BitmapHandle* plane) {
  if (!plane) return 0;
  graphics::LockRecord lock{};
  if (!gBound.graphics->LockBitmap(plane, 0, &lock) || !lock.success) return kErrLockBitmap;
  std::memset(lock.pixels, 0, size_t(lock.bytesPerRow) * lock.height);
  gBound.graphics->UnlockBitmap(&lock);
  return 0;
}

int FillWith(OutputRecord* o, uint32_t color) {
  BitmapHandle* target = o->color;
  if (target->kind == graphics::kKindIndex) {
    int pen = gBound.graphics->MapColorToPen(color);
    color = pen >= 0 ? uint32_t(pen) : 0;
  }
  return gBound.graphics->FillBitmapRect(target, 0, 0, target->width, target->height, color);
}

int Cls(lua_State* L, bool hasColor, uint32_t color) {
  OutputRecord* o = *gBound.graphics->currentOutput;
  if (!o) return kErrNoOutput;
  int rc;
  switch (o->kind) {
    case graphics::kOutputDisplay: {
      auto* d = static_cast<DisplayRecord*>(o->owner);
      // Layers go with what they were drawn over.
      if (gBound.layers && gBound.layers->clearLayers) {
        if ((rc = gBound.layers->clearLayers(L, d))) return rc;
      }
      rc = hasColor ? FillWith(o, color) : FillBackground(L, d, o->color);
      break;
    }
    case graphics::kOutputBrush: {
      rc = FillWith(o, hasColor ? color : 0);
      // The output draws into the colours; the brush's mask and alpha channel
      // are cleared with them.
      const brush::BrushInterface* brushes = gBound.brush;
      brush::BrushRecord* record;
      if (rc == 0 && brushes && brushes->FindBrush(L, &o->object, &record, 0) == 0) {
        auto* b = reinterpret_cast<const graphics::BrushRecordHead*>(record);
        rc = ClearPlane(b->mask);
        if (rc == 0) rc = ClearPlane(b->alpha);
      }
      break;
    }
    case graphics::kOutputMask:
      rc = ClearPlane(o->mask);
      break;
    case graphics::kOutputAlpha:
      rc = ClearPlane(o->alpha);
      break;
    case graphics::kOutputBgPic:
      return kErrOutputBgPic;
    default:
      return kErrNoOutput;
  }
  if (rc == 0 && o->ops && o->ops->changed) o->ops->changed(o, 0, 0, o->width, o->height);
  return rc;
}

}  // namespace

// BeginRefresh([flag]); the flag asks nothing of this platform.
int BeginRefresh(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  Lua().optinteger(L, 1, 0);
  DisplayRecord* d;
  if (int rc = DisplayOutput(&d)) return rc;
  if (d->doubleBuffered) return kErrDoubleBufferActive;
  if (d->refreshBusy) return kErrDisplayBusy;
  d->refreshBusy = 1;
  return 0;
}

// EndRefresh()
int EndRefresh(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (!d->refreshBusy) return kErrRange;
  d->refreshBusy = 0;
  return RefreshCore(d, 0);
}

// RefreshDisplay([table])
int RefreshDisplay(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  uint32_t flags = 0;
  if (Lua().type(L, 1) > kLuaNil) {
    Lua().checktable(L, 1);
    for (const RefreshKey& k : kRefreshKeys) {
      int32_t on = 0;
      if (Args().fieldBool(L, 1, k.key, &on) && on) flags |= k.flag;
    }
  }
  DisplayRecord* d;
  if (int rc = DisplayOutput(&d)) return rc;
  return RefreshCore(d, flags);
}

// VWait()
int VWait(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  if (VWaitDisabled()) return 0;
  // The events handled while it waits run script code.
  if (int rc = PinDisplay(L, d)) return rc;
  return VWaitCore(L, d);
}

// EnableVWait()
int EnableVWait(lua_State* L) {
  Args().beginCommand(L, 0, 0, 0, 0);
  SetVWaitDisabled(false);
  return 0;
}

// DisableVWait()
int DisableVWait(lua_State* L) {
  Args().beginCommand(L, 0, 0, 0, 0);
  SetVWaitDisabled(true);
  return 0;
}

// SetFPSLimit(fps)
int SetFPSLimit(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  SetFpsLimit(FpsLimitFor(Lua().checknumber(L, 1)));
  return 0;
}

// GetFPSLimit()
int GetFPSLimit(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  Lua().pushnumber(L, FpsLimit());
  return 1;
}

// BeginDoubleBuffer([hardware])
int BeginDoubleBuffer(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  int hardware = Lua().optinteger(L, 1, 0);
  DisplayRecord* d;
  if (int rc = DisplayOutput(&d)) return rc;
  return BeginDoubleBufferCore(L, d, hardware);
}

// EndDoubleBuffer(): like its beginning, only while the display is the
// output; ending it under a selected brush would leave no output to give
// back when the brush's selection ends.
int EndDoubleBuffer(lua_State* L) {
  L = Args().beginCommand(L, 0, 0, 0, 0);
  DisplayRecord* d;
  if (int rc = DisplayOutput(&d)) return rc;
  return EndDoubleBufferCore(L, d);
}

// Flip([sync])
int Flip(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  int sync = Lua().optinteger(L, 1, 1);
  DisplayRecord* d;
  if (int rc = RequireCurrentDisplay(&d)) return rc;
  // The events handled while it waits for the frame run script code.
  if (sync && !VWaitDisabled()) {
    if (int rc = PinDisplay(L, d)) return rc;
  }
  return FlipCore(L, d, sync);
}

// Cls([color])
int Cls(lua_State* L) {
  L = Args().beginCommand(L, 0, 1, 0, 0);
  bool hasColor = Lua().type(L, 1) > kLuaNil;
  uint32_t color = hasColor ? Lua().checkunsigned(L, 1) : 0;
  return Cls(L, hasColor, color);
}

// SaveSnapshot(file[, kind = SNAPWINDOW[, color[, table]]])
int SaveSnapshot(lua_State* L) {
  L = Args().beginCommand(L, 1, 4, 0, 0);
  const char* file = Args().fileName(L, 1, 0, 0);
  int kind = Lua().optinteger(L, 2, kSnapWindow);
  int32_t transparent = -1;
  if (Lua().type(L, 3) > kLuaNil) transparent = int32_t(Lua().checkunsigned(L, 3));
  graphics::SaveOptions options{};
  options.format = graphics::kImgfmtBmp;
  options.quality = 90;
  if (gBound.graphics->ParseSaveOptions && Lua().gettop(L) >= 4) {
    if (int rc = gBound.graphics->ParseSaveOptions(L, 4, &options)) return rc;
  }
  int rc = SaveSnapshotCore(CurrentDisplay(), file, kind, transparent, options);
  if (options.userTags) Args().freeUserTags(options.userTags, 0);
  return rc;
}

// GrabDesktop(id[, table])
int GrabDesktop(lua_State* L) {
  L = Args().beginCommand(L, 1, 2, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool hasWidth = false, hasHeight = false;
  if (Lua().type(L, 2) > kLuaNil) {
    Lua().checktable(L, 2);
    Args().fieldInt(L, 2, "x", &x);
    Args().fieldInt(L, 2, "y", &y);
    hasWidth = Args().fieldInt(L, 2, "width", &width);
    hasHeight = Args().fieldInt(L, 2, "height", &height);
  }
  if (!gBound.brush) return ErrorWithString(kErrSiblingAbsent, "brush");
  int desktop[4];
  DesktopRect(desktop);
  int rect[4] = {x, y, hasWidth ? width : desktop[2] - x, hasHeight ? height : desktop[3] - y};
  ObjectId made;
  if (int rc = GrabDesktopCore(L, id, rect, &made)) return rc;
  if (!id.pointer) return 0;
  Args().pushObjectId(L, made);
  return 1;
}

}  // namespace tzx::display
