#include "platform/calendar.h"

#include <ctime>

namespace tzx::platform {

CalendarTime LocalTime(int64_t seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm tm {};
  localtime_r(&t, &tm);
  return CalendarTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

}  // namespace tzx::platform
