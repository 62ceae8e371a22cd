// The public headers after the system's: <utime.h> and <sys/timeb.h> declare functions
// named utime and ftime, which hide the records of the same names unless every public
// declaration spells them "struct utime" and "struct ftime".
#include <sys/stat.h>
#include <sys/timeb.h>
#include <time.h>
#include <utime.h>

#include "korvelin/korvelin.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemHeaders, RecordsAndFunctionsOfTheSameNamesCoexistAfterThem) {
  struct utime now {};
  struct ftime stamp {};
  date today{};
  getdatetime(&today, &now);
  getftime(".", &stamp);
  EXPECT_EQ(TimeCmp(stamp, stamp), 0);
  EXPECT_GE(today.year, 2000);
  struct utimbuf times = {0, 0};
  (void)times;
  int (*set_times)(const char*, const struct utimbuf*) = utime;
  EXPECT_NE(set_times, nullptr);
}

}  // namespace
