// Pictures of a window, a display or the desktop: saved through imageio, or
// grabbed into a new brush.
#pragma once

#include "display_record.h"
#include "tzx/graphics_images.h"

namespace tzx::display {

enum SnapshotKind : int { kSnapWindow = 0, kSnapDisplay = 1, kSnapDesktop = 2 };

// Saves the picture of the display `d` (null: none, enough for the desktop);
// 1685 without imageio, 1687 without a display, 1347 for the window of a
// display that is not open, 1288 when the desktop cannot be read, 1055 for an unknown
// kind, or imageio's error.
int SaveSnapshotCore(DisplayRecord* d, const char* file, int kind, int32_t transparentColor,
                     const graphics::SaveOptions& options);

// The rectangle the whole desktop covers.
void DesktopRect(int rect[4]);

// Copies a rectangle of the desktop into a new brush; its identifier is
// written to *outId. 1685 without brush, 1218 for an empty rectangle, 1288
// when the desktop cannot be read.
int GrabDesktopCore(lua_State* L, const ObjectId& id, const int rect[4], ObjectId* outId);

}  // namespace tzx::display
