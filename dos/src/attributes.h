// FILEATTR_ flags and POSIX modes, and the date strings of entry tables. Pure.
//
// The nine read, write and execute bits of user, group and others are the
// permission bits, both ways. READONLY is a clear user write bit; HIDDEN is a
// name with a leading dot; DELETE_USR follows the user write bit; NORMAL is
// set when neither READONLY nor HIDDEN is; ARCHIVE, SYSTEM, PURE and SCRIPT
// are always clear.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tzx::dos {

uint32_t FlagsOfMode(uint32_t mode, const char* name);
// The mode that `flags` ask for, starting from `mode`. Flags that carry none
// of the nine permission bits keep the present ones; READONLY then clears the
// write bits and NORMAL alone gives the user write bit back.
uint32_t ModeOfFlags(uint32_t flags, uint32_t mode);

// "DD-Mon-YYYY hh:mm:ss", `month` from 1 to 12, with the host's month names.
void FormatDate(const int fields[6], const char* const* monthNames, char* out, size_t size);

}  // namespace tzx::dos
