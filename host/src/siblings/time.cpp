// "time": reads the date strings of the file-system commands and gives the
// date entries without a time of their own carry.
#include <strings.h>

#include <cstdio>

#include "platform/calendar.h"
#include "sibling.h"
#include "tzx/errors.h"
#include "tzx/host.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool LeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

// "DD-Mon-YYYY hh:mm:ss", the month's name in any case; without the time it
// is midnight. 0, or kErrRange for anything else or a day that does not exist.
int ParseDate(const char* text, DateRecord* out) {
  int day = 0, year = 0, hour = 0, minute = 0, second = 0, used = 0;
  char month[4] = {};
  int n = std::sscanf(text, "%2d-%3[A-Za-z]-%4d%n %2d:%2d:%2d%n", &day, month, &year, &used, &hour,
                      &minute, &second, &used);
  if ((n != 3 && n != 6) || text[used] != 0) return kErrRange;
  int m = 0;
  for (int i = 0; i < 12; ++i) {
    if (strcasecmp(month, kMonths[i]) == 0) m = i + 1;
  }
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (!m || year < 1 || day < 1 || day > kDays[m - 1] + (m == 2 && LeapYear(year)) || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return kErrRange;
  }
  *out = DateRecord{year, m, day, hour, minute, second, 0};
  return 0;
}

namespace {

// The present moment, local time.
void DefaultDate(DateRecord* out) {
  const platform::CalendarTime t = platform::LocalTime(platform::Now());
  *out = DateRecord{t.year, t.month, t.day, t.hour, t.minute, t.second, 0};
}

const TimeSibling kInterface = {ParseDate, nullptr, DefaultDate};
const void* Interface() {
  return &kInterface;
}

}  // namespace

const HostSibling kTimeSibling = {"time", Interface, nullptr, nullptr};

}  // namespace tzx::host
