// The library's window back end, chosen at start (headless when the host has
// no window system), the lock shared with the window thread, and the screen
// queries scripts reach through the window thread.
#pragma once

#include "platform/window_backend.h"

namespace tzx::display {

// 0, or kErrNoMemory when the back end cannot be made.
int StartWindowSystem();
void StopWindowSystem();
platform::WindowBackend* Backend();
bool IsHeadless();

// Held by the window thread while it handles messages, and by the script
// thread while it links displays or reads what the window procedure writes.
// Never held across a request to the window thread.
void LockDisplays();
void UnlockDisplays();

int MonitorCount();
// Monitors are numbered from 1; false for an unknown one.
bool MonitorRect(int monitor, platform::ScreenRect* out);
int ScreenDepth();
// The scale the desktop asks for; neither back end scales it.
double SystemScale();

}  // namespace tzx::display
