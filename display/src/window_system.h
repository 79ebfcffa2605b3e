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
// The modes a monitor (numbered from 1) offers, in the window system's
// order, in a host block the caller frees; *count is -1 (and *out null) when
// the monitor has no device whose modes can be read. 0 or kErrNoMemory.
int ReadScreenModes(int monitor, platform::ScreenMode** out, int* count);
// The monitor's mode now; false when it has no device.
bool CurrentScreenMode(int monitor, platform::ScreenMode* out);
// The size of the system's mouse pointer.
void PointerSize(int* width, int* height);
// The scale the desktop asks for; neither back end scales it.
double SystemScale();

}  // namespace tzx::display
