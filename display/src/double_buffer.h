// Software double buffering: drawing goes to a back buffer; Flip copies what
// changed to the display's picture and shows it.
#pragma once

#include "display_record.h"

namespace tzx::display {

// 1162 already double-buffered, 1511 inside a refresh block, 1224 in layer
// mode, 1230 / 1455 when bgpic or video hold the display, 1522 / 1648 / 1000
// when the buffers cannot be made.
int BeginDoubleBufferCore(lua_State* L, DisplayRecord* d, int hardware);
// 1244 when not double-buffered.
int EndDoubleBufferCore(lua_State* L, DisplayRecord* d);
// Waits for the frame when `sync` is set and waiting is on (the display
// pinned: the events handled meanwhile run script code), then copies the
// changes of the back buffer (or all of it) to the picture and shows them;
// 1244 when not double-buffered, also when the wait ended it.
int FlipCore(lua_State* L, DisplayRecord* d, int sync);

}  // namespace tzx::display
