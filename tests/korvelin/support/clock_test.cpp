#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "korvelin/support/clock.h"
#include "tests/common/harness.h"

namespace {

// Runs a test in a fixed zone, so the local readings are known.
class InZone {
 public:
  explicit InZone(const char* zone) {
    env_.Set("TZ", zone);
    tzset();
  }

 private:
  // Declared first, so it is destroyed last: the zone is re-read after TZ is restored.
  struct Reread {
    ~Reread() { tzset(); }
  } reread_;
  harness::ScopedEnv env_;
};

time_t Utc(int year, int month, int day, int hour, int minute, int second) {
  struct tm t = {};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return timegm(&t);
}

void SetModified(const std::string& path, time_t when, int flags = 0) {
  struct timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, flags), 0) << path;
}

TEST(TimeRecords, MonthNamesAreLowercaseThreeLetterSlots) {
  const char* expected[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                              "jul", "aug", "sep", "oct", "nov", "dec"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_STREQ(MonthName[i], expected[i]);
    EXPECT_EQ(MonthName[i][3], '\0');
  }
}

TEST(TimeRecords, FtimeYearStartsTheSecondUnit) {
  ftime t;
  memset(&t, 0, sizeof t);
  t.year = 0x7F;
  t.month = 0xF;
  unsigned char bytes[8];
  memcpy(bytes, &t, sizeof t);
  // month: bits 22 to 25; year: bits 32 to 38
  EXPECT_EQ(bytes[2], 0xC0);
  EXPECT_EQ(bytes[3], 0x03);
  EXPECT_EQ(bytes[4], 0x7F);
  EXPECT_EQ(bytes[5] | bytes[6] | bytes[7], 0);
}

TEST(ClockReadings, DateAndTimeAgreeWithTheSystemClock) {
  InZone zone("UTC");
  for (int attempt = 0; attempt < 3; ++attempt) {
    time_t before = time(nullptr);
    date d;
    utime t;
    getdatetime(&d, &t);
    if (time(nullptr) != before) continue;  // a second boundary passed: read again
    struct tm expected;
    gmtime_r(&before, &expected);
    EXPECT_EQ(d.year, expected.tm_year + 1900);
    EXPECT_EQ(d.month, expected.tm_mon + 1);
    EXPECT_EQ(d.day, expected.tm_mday);
    EXPECT_EQ(t.hour, expected.tm_hour);
    EXPECT_EQ(t.minute, expected.tm_min);
    EXPECT_EQ(t.second, expected.tm_sec);
    EXPECT_LE(t.hundredths, 99);
    return;
  }
  FAIL() << "the clock never held still for a second";
}

TEST(ClockReadings, NullRecordsAreSkipped) {
  date d = {1, 2, 3};
  getdatetime(nullptr, nullptr);
  getdatetime(&d, nullptr);
  utime t = {61, 25, 100, 61};
  gettime(&t);
  EXPECT_LT(t.minute, 60);
  EXPECT_LT(t.hour, 24);
  EXPECT_LT(t.hundredths, 100);
  getdate(&d);
  EXPECT_GE(d.year, 2025);
}

struct FileTimeCase {
  time_t modified;
  unsigned year, month, day, hour, minute, second;
};

TEST(FileTime, FieldsAreMaskedToTheirWidths) {
  InZone zone("UTC");
  std::string dir = harness::ScratchDir("getftime");
  std::string path = dir + "/file";
  harness::WriteFile(path, "x");
  const FileTimeCase cases[] = {
      {Utc(2025, 12, 31, 23, 59, 59), 45, 12, 31, 23, 59, 59},
      {Utc(1979, 6, 1, 0, 0, 0), 127, 6, 1, 0, 0, 0},  // before 1980 wraps to 2107
      {Utc(2108, 1, 2, 3, 4, 5), 0, 1, 2, 3, 4, 5},    // 2108 wraps to 1980
      {Utc(1980, 1, 1, 0, 0, 0), 0, 1, 1, 0, 0, 0},
  };
  for (const FileTimeCase& c : cases) {
    SetModified(path, c.modified);
    ftime t;
    memset(&t, 0xFF, sizeof t);  // bits outside the fields must keep whatever they held
    getftime(path.c_str(), &t);
    EXPECT_EQ(t.year, c.year);
    EXPECT_EQ(t.month, c.month);
    EXPECT_EQ(t.day, c.day);
    EXPECT_EQ(t.hour, c.hour);
    EXPECT_EQ(t.minute, c.minute);
    EXPECT_EQ(t.second, c.second);
    unsigned char bytes[8];
    memcpy(bytes, &t, sizeof t);
    EXPECT_EQ(bytes[3] & 0xFC, 0xFC);
    EXPECT_EQ(bytes[4] & 0x80, 0x80);
  }
}

TEST(FileTime, LocalZoneAndSymbolicLinkOwnTime) {
  InZone zone("<+03>-3");
  std::string dir = harness::ScratchDir("getftime-link");
  std::string target = dir + "/target";
  std::string link = dir + "/link";
  harness::WriteFile(target, "x");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  SetModified(target, Utc(2020, 1, 1, 0, 0, 0));
  SetModified(link, Utc(2026, 3, 7, 22, 30, 0), AT_SYMLINK_NOFOLLOW);
  ftime t = {};
  getftime(link.c_str(), &t);
  EXPECT_EQ(t.year, 46u);  // 2026, and 22:30 UTC is already the 8th at +03
  EXPECT_EQ(t.month, 3u);
  EXPECT_EQ(t.day, 8u);
  EXPECT_EQ(t.hour, 1u);
  EXPECT_EQ(t.minute, 30u);
}

TEST(FileTime, MissingFileLeavesTheRecordUnchanged) {
  ftime t = {1, 2, 3, 4, 5, 6};
  getftime((harness::ScratchDir("getftime-missing") + "/none").c_str(), &t);
  EXPECT_EQ(t.second, 1u);
  EXPECT_EQ(t.year, 6u);
}

TEST(Gmtoff, FollowsTheLocalZone) {
  {
    InZone zone("UTC");
    EXPECT_EQ(GetGmtoff(), 0);
  }
  {
    InZone zone("<+02>-2");
    EXPECT_EQ(GetGmtoff(), 7200);
  }
  {
    InZone zone("<-0330>3:30");
    EXPECT_EQ(GetGmtoff(), -12600);
  }
}

TEST(TimeStamp, FixedLayoutIsReadWhateverTheSeparators) {
  InZone zone("UTC");
  const int64_t expected = Utc(2026, 3, 7, 9, 5, 3);
  EXPECT_EQ(DateTimeToTimeStamp("2026-03-07 09:05:03"), expected);
  EXPECT_EQ(DateTimeToTimeStamp("2026/03/07T09.05.03 and any tail"), expected);
  EXPECT_EQ(DateTimeToTimeStamp("2026-02-30 00:00:00"), Utc(2026, 3, 2, 0, 0, 0));
  EXPECT_EQ(DateTimeToTimeStamp("2026-03-07"), Utc(2026, 3, 7, 0, 0, 0));
  EXPECT_EQ(DateTimeToTimeStamp("1970-01-01 00:00:00"), 0);
}

TEST(TimeStamp, InTheLocalZone) {
  InZone zone("<+02>-2");
  EXPECT_EQ(DateTimeToTimeStamp("2026-03-07 09:05:03"), Utc(2026, 3, 7, 7, 5, 3));
}

}  // namespace
