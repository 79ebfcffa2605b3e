// Calendar dates in the user's time zone.
#pragma once

#include <cstdint>

namespace tzx::platform {

struct CalendarTime {
  int year;    // e.g. 2024
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
  int second;  // 0..60
};

// The local date and time of `seconds` since 1970 (UTC).
CalendarTime LocalTime(int64_t seconds);

}  // namespace tzx::platform
