#include "window_system.h"

#include "event_loop.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::display {

namespace {

platform::WindowBackend* gBackend = nullptr;
HostLock* gLock = nullptr;
bool gHeadless = true;

}  // namespace

int StartWindowSystem() {
  const DisplayServices* services = Host().ext->display;
  gHeadless = !services || !services->headless || *services->headless;
  gBackend = gHeadless ? platform::CreateHeadlessBackend() : platform::CreateSdlBackend();
  gLock = Errors().createLock();
  if (!gBackend || !gLock) {
    StopWindowSystem();
    return kErrNoMemory;
  }
  return 0;
}

void StopWindowSystem() {
  delete gBackend;
  gBackend = nullptr;
  if (gLock) Errors().destroyLock(gLock);
  gLock = nullptr;
}

platform::WindowBackend* Backend() {
  return gBackend;
}

bool IsHeadless() {
  return gHeadless;
}

void LockDisplays() {
  Errors().lock(gLock);
}

void UnlockDisplays() {
  Errors().unlock(gLock);
}

int MonitorCount() {
  return OnWindowThread([] { return gBackend->MonitorCount(); });
}

bool MonitorRect(int monitor, platform::ScreenRect* out) {
  return OnWindowThread([&] { return int(gBackend->MonitorRect(monitor - 1, out)); }) != 0;
}

int ScreenDepth() {
  return OnWindowThread([] { return gBackend->ScreenDepth(); });
}

int ReadScreenModes(int monitor, platform::ScreenMode** out, int* count) {
  *out = nullptr;
  *count = OnWindowThread([&] { return gBackend->ModeCount(monitor - 1); });
  if (*count <= 0) return 0;
  auto* modes = static_cast<platform::ScreenMode*>(
      HostAlloc(sizeof(platform::ScreenMode) * size_t(*count), false));
  if (!modes) return kErrNoMemory;
  // The list may have shrunk meanwhile (a monitor unplugged): keep what was read.
  *count = OnWindowThread([&] {
    int n = 0;
    while (n < *count && gBackend->ModeAt(monitor - 1, n, &modes[n])) ++n;
    return n;
  });
  *out = modes;
  return 0;
}

bool CurrentScreenMode(int monitor, platform::ScreenMode* out) {
  return OnWindowThread([&] { return int(gBackend->CurrentMode(monitor - 1, out)); }) != 0;
}

void PointerSize(int* width, int* height) {
  OnWindowThread([&] {
    gBackend->CursorSize(width, height);
    return 0;
  });
}

double SystemScale() {
  return 1.0;
}

}  // namespace tzx::display
