#include "attributes.h"

#include <cstdio>
#include <cstring>

#include "tzx/dos_constants.h"

namespace tzx::dos {
namespace {

// FILEATTR_ bit and POSIX bit, pair by pair.
constexpr uint32_t kPermissionPairs[9][2] = {
    {kFileattrReadUsr, 0400}, {kFileattrWriteUsr, 0200}, {kFileattrExecuteUsr, 0100},
    {kFileattrReadGrp, 040},  {kFileattrWriteGrp, 020},  {kFileattrExecuteGrp, 010},
    {kFileattrReadOth, 04},   {kFileattrWriteOth, 02},   {kFileattrExecuteOth, 01},
};
constexpr uint32_t kAnyPermission = kFileattrReadUsr | kFileattrWriteUsr | kFileattrExecuteUsr |
                                    kFileattrReadGrp | kFileattrWriteGrp | kFileattrExecuteGrp |
                                    kFileattrReadOth | kFileattrWriteOth | kFileattrExecuteOth;

}  // namespace

uint32_t FlagsOfMode(uint32_t mode, const char* name) {
  uint32_t flags = 0;
  for (const auto& pair : kPermissionPairs) {
    if (mode & pair[1]) flags |= pair[0];
  }
  if (mode & 0200) {
    flags |= kFileattrDeleteUsr;
  } else {
    flags |= kFileattrReadonly;
  }
  if (name[0] == '.') flags |= kFileattrHidden;
  if (!(flags & (kFileattrReadonly | kFileattrHidden))) flags |= kFileattrNormal;
  return flags;
}

uint32_t ModeOfFlags(uint32_t flags, uint32_t mode) {
  if (flags & kAnyPermission) {
    mode &= ~0777u;
    for (const auto& pair : kPermissionPairs) {
      if (flags & pair[0]) mode |= pair[1];
    }
  } else if (flags == kFileattrNormal) {
    mode |= 0200;
  }
  if (flags & kFileattrReadonly) mode &= ~0222u;
  return mode;
}

void FormatDate(const int f[6], const char* const* monthNames, char* out, size_t size) {
  const char* month = f[1] >= 1 && f[1] <= 12 ? monthNames[f[1]] : "???";
  std::snprintf(out, size, "%.2d-%s-%d %.2d:%.2d:%.2d", f[2], month, f[0], f[3], f[4], f[5]);
}

}  // namespace tzx::dos
