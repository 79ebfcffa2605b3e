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
// The other way: the seconds since 1970 of a local date and time, with the
// daylight saving in force on that day; false when the system cannot
// represent it.
bool SecondsOfLocalTime(const CalendarTime& local, int64_t* seconds);
// The present moment.
int64_t Now();

}  // namespace tzx::platform
