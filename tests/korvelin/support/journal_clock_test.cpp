// The journal's stamp against a clock that passes midnight between two readings. A
// program of its own: its clock_gettime stands in for the C library's.
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "korvelin/support/journal.h"
#include "tests/common/harness.h"

namespace {
int scripted_readings = -1;  // below 0 the real clock answers
time_t midnight;
}  // namespace

// While a test scripts it, the real-time clock reads 10 ms before midnight once, and
// 10 ms after it from then on.
extern "C" int clock_gettime(clockid_t clock, struct timespec* now) {
  if (clock != CLOCK_REALTIME || scripted_readings < 0) {
    return static_cast<int>(syscall(SYS_clock_gettime, clock, now));
  }
  bool first = scripted_readings++ == 0;
  now->tv_sec = first ? midnight - 1 : midnight;
  now->tv_nsec = first ? 990000000 : 10000000;
  return 0;
}

namespace {

TEST(JournalClock, DateAndTimeComeFromOneReading) {
  harness::ResetDataRoot();
  harness::ScopedEnv env;
  env.Set("SCRIPT_NAME", "/cgi-bin/counter.cgi");
  env.Set("TZ", "UTC");
  tzset();
  struct tm day = {};
  day.tm_year = 2026 - 1900;
  day.tm_mon = 2;
  day.tm_mday = 8;
  midnight = mktime(&day);

  scripted_readings = 0;
  int saved = SaveError("m");
  scripted_readings = -1;
  ASSERT_EQ(saved, 1);
  std::string journal = harness::ReadFile(harness::DataRoot() + "allerror/counter.txt");
  EXPECT_EQ(journal.substr(0, journal.find('\n')), "07.03.2026, 23:59:59");
}

}  // namespace
