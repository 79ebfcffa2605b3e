#include "platform/calendar.h"

#include <cerrno>
#include <ctime>

namespace tzx::platform {

CalendarTime LocalTime(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm tm {};
  localtime_r(&t, &tm);
  return CalendarTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

bool SecondsOfLocalTime(const CalendarTime& local, int64_t* seconds) {
  struct tm tm {};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  errno = 0;
  time_t t = mktime(&tm);
  if (t == static_cast<time_t>(-1) && errno) return false;
  *seconds = t;
  return true;
}

int64_t Now() {
  return static_cast<int64_t>(time(nullptr));
}

}  // namespace tzx::platform
