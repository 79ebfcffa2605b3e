#include <cstring>

#include "sibling.h"

namespace tzx::host {

const HostSibling* FindHostSibling(const char* name) {
  static const HostSibling* const kAll[] = {
      &kObjectSibling, &kImageIoSibling, &kPaletteSibling, &kOffscreenSibling, &kEventSibling,
      &kTimeSibling,   &kAsyncSibling,   &kFiltersSibling, &kClipboardSibling, &kLayersSibling};
  for (const HostSibling* s : kAll) {
    if (std::strcmp(s->name, name) == 0) return s;
  }
  return nullptr;
}

}  // namespace tzx::host
