// FILEATTR_ flags against POSIX modes, the date strings, and the time
// library's reading of them.
#include <gtest/gtest.h>

#include "dos/src/attributes.h"
#include "siblings/sibling.h"
#include "tzx/dos_constants.h"
#include "tzx/errors.h"

namespace tzx::dos {
namespace {

const char* const kMonths[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

TEST(DosAttributes, ModeToFlags) {
  EXPECT_EQ(FlagsOfMode(0644, "a"),
            static_cast<uint32_t>(kFileattrReadUsr | kFileattrWriteUsr | kFileattrDeleteUsr |
                                  kFileattrReadGrp | kFileattrReadOth | kFileattrNormal));
  EXPECT_EQ(FlagsOfMode(0, "a"), static_cast<uint32_t>(kFileattrReadonly));
  EXPECT_EQ(FlagsOfMode(0777, ".a") & (kFileattrHidden | kFileattrNormal),
            static_cast<uint32_t>(kFileattrHidden));
  EXPECT_EQ(
      FlagsOfMode(0111, "x") & (kFileattrExecuteUsr | kFileattrExecuteGrp | kFileattrExecuteOth),
      static_cast<uint32_t>(kFileattrExecuteUsr | kFileattrExecuteGrp | kFileattrExecuteOth));
  // Archive and system are never reported.
  EXPECT_EQ(FlagsOfMode(07777, "a") & (kFileattrArchive | kFileattrSystem), 0u);
}

TEST(DosAttributes, FlagsToMode) {
  // The nine bits both ways (any but none), the file-type bits kept.
  for (uint32_t mode = 1; mode <= 0777; mode += 0111 / 3 + 2) {
    EXPECT_EQ(ModeOfFlags(FlagsOfMode(mode, "a") & ~kFileattrReadonly, 0100000 | 0777),
              0100000u | (mode & 0777))
        << mode;
  }
  // READONLY alone takes the write bits away and keeps the rest.
  EXPECT_EQ(ModeOfFlags(kFileattrReadonly, 0764), 0544u);
  EXPECT_EQ(ModeOfFlags(kFileattrNormal, 0444), 0644u);
  EXPECT_EQ(ModeOfFlags(kFileattrReadUsr | kFileattrWriteUsr | kFileattrReadonly, 0777), 0400u);
}

TEST(DosAttributes, DateStrings) {
  char text[64];
  const int date[6] = {2026, 12, 8, 7, 5, 9};
  FormatDate(date, kMonths, text, sizeof text);
  EXPECT_STREQ(text, "08-Dec-2026 07:05:09");
  const int early[6] = {1978, 1, 1, 12, 0, 0};
  FormatDate(early, kMonths, text, sizeof text);
  EXPECT_STREQ(text, "01-Jan-1978 12:00:00");
}

TEST(TimeSibling, ParsesTheDateStrings) {
  DateRecord r{};
  ASSERT_EQ(host::ParseDate("08-Dec-2026 07:05:09", &r), 0);
  EXPECT_EQ(r.year, 2026);
  EXPECT_EQ(r.month, 12);
  EXPECT_EQ(r.day, 8);
  EXPECT_EQ(r.hour, 7);
  EXPECT_EQ(r.minute, 5);
  EXPECT_EQ(r.second, 9);
  ASSERT_EQ(host::ParseDate("29-feb-2024", &r), 0);
  EXPECT_EQ(r.month, 2);
  EXPECT_EQ(r.hour, 0);
  EXPECT_EQ(host::ParseDate("29-Feb-2023 00:00:00", &r), kErrRange);
  EXPECT_EQ(host::ParseDate("31-Apr-2023 00:00:00", &r), kErrRange);
  EXPECT_EQ(host::ParseDate("01-Foo-2023 00:00:00", &r), kErrRange);
  EXPECT_EQ(host::ParseDate("01-Jan-2023 24:00:00", &r), kErrRange);
  EXPECT_EQ(host::ParseDate("01-Jan-2023 10:00:00 trailing", &r), kErrRange);
  EXPECT_EQ(host::ParseDate("", &r), kErrRange);
}

}  // namespace
}  // namespace tzx::dos
