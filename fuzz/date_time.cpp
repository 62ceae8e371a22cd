// DateTimeToTimeStamp on any text; a well-formed moment converts back to the same fields.
// The process runs in UTC, so every moment of the calendar exists exactly once.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "fuzz/common.h"
#include "korvelin/support/clock.h"

namespace {

// The number at [first, first + count) when all of it is decimal digits, else -1.
int Digits(const std::string& text, std::size_t first, std::size_t count) {
  int value = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "UTC", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  int64_t stamp = DateTimeToTimeStamp(text);
  if (text.size() < 19) return 0;

  int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
  if (year < 0 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59 || day > DaysInMonth(year, month))
    return 0;
  time_t moment = static_cast<time_t>(stamp);
  struct tm back;
  FUZZ_CHECK(gmtime_r(&moment, &back) != nullptr);
  FUZZ_CHECK(back.tm_year + 1900 == year && back.tm_mon + 1 == month && back.tm_mday == day);
  FUZZ_CHECK(back.tm_hour == hour && back.tm_min == minute && back.tm_sec == second);
  return 0;
}
