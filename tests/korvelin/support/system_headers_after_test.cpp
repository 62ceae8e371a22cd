// The public headers before the system's: <utime.h> and <sys/timeb.h> then declare
// functions named like the records, which must still be usable by their struct names.
#include "korvelin/korvelin.h"

#include <sys/stat.h>
#include <sys/timeb.h>
#include <time.h>
#include <utime.h>

#include <gtest/gtest.h>

namespace {

TEST(SystemHeaders, RecordsAndFunctionsOfTheSameNamesCoexistBeforeThem) {
  struct utime now {};
  struct ftime stamp {};
  date today{};
  getdatetime(&today, &now);
  getftime(".", &stamp);
  EXPECT_EQ(TimeCmp(stamp, stamp), 0);
  EXPECT_GE(today.year, 2000);
  int (*set_times)(const char*, const struct utimbuf*) = utime;
  EXPECT_NE(set_times, nullptr);
}

}  // namespace
