// What both orders of the system's headers and the library's must allow: the records
// named by their struct names, and the system functions of the same names beside them.
// Included last, after both sets of headers, by each of the two test files.
#ifndef KORVELIN_TESTS_SUPPORT_SYSTEM_HEADERS_CHECK_H
#define KORVELIN_TESTS_SUPPORT_SYSTEM_HEADERS_CHECK_H

#include <gtest/gtest.h>

static void CheckRecordsBesideSystemFunctions() {
  struct utime now {};
  struct ftime stamp {};
  date today{};
  getdatetime(&today, &now);
  getftime(".", &stamp);
  EXPECT_EQ(TimeCmp(stamp, stamp), 0);
  EXPECT_GE(today.year, 2000);
  int (*set_times)(const char*, const struct utimbuf*) = utime;
  EXPECT_NE(set_times, nullptr);
  // The system's ftime (deprecated, so not called) is declared with its record.
  struct timeb unused {};
  EXPECT_EQ(unused.time, 0);
}

#endif
