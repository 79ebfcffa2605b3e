// The event loop (interface slot 51) and the request block through which the
// script thread reaches windows: the thread that enters the loop becomes the
// window thread and pumps window messages; the script's main chunk runs on a
// second thread. Requests run on the window thread one at a time while the
// caller waits.
#pragma once

#include <cstdint>

#include "tzx/types.h"

namespace tzx::display {

enum RequestCode : int32_t {
  kRequestOpen = 1,  // args: display
  kRequestClose = 2,
  kRequestShow = 3,  // args: display, ShowCommand
  kRequestTitle = 20,
  kRequestMove,         // args: display, x, y
  kRequestActivate,     // args: display
  kRequestPresent,      // args: display, PresentJob*
  kRequestReadWindow,   // args: display, uint32_t* out, width, height
  kRequestReadScreen,   // args: ScreenRead*
  kRequestFlags,        // args: display
  kRequestInject,       // args: WindowMessage*
  kRequestMonitors,     // result: the number of monitors
  kRequestMonitorRect,  // args: monitor (0-based), ScreenRect*
  kRequestScreenDepth,
  kRequestWindowRect,  // args: display, int[4] out: x, y, width, height
  kRequestCursor,      // args: int[2] out
  kRequestMargins,     // args: display, int[4] out
  kRequestSize,        // args: display, width, height
};

struct Request {
  int32_t code;
  intptr_t args[4];
  int result;
};

// Runs the request on the window thread and returns its result. On the window
// thread itself, and while no loop runs, it runs at once.
int RunRequest(Request* request);
int RunRequest(int32_t code, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0, intptr_t d = 0);

int RunEventLoop(lua_State* L);
void SignalLoop(int stop);
bool LoopRunning();

// Handles every waiting window message (window thread, or the script thread
// while no loop runs).
void PumpMessages();

}  // namespace tzx::display
