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

double SystemScale() {
  return 1.0;
}

}  // namespace tzx::display
