#include "korvelin/support/clock.h"

#include <sys/stat.h>
#include <time.h>

#include <bit>
#include <cstddef>

#include "korvelin/support/internal/file_time.h"

// The layout is part of the records' contract: callers pass them by value and by pointer.
static_assert(sizeof(date) == 8 && offsetof(date, year) == 0 &&
              offsetof(date, day) == 4 && offsetof(date, month) == 5);
static_assert(sizeof(utime) == 4 && offsetof(utime, minute) == 0 && offsetof(utime, hour) == 1 &&
              offsetof(utime, hundredths) == 2 && offsetof(utime, second) == 3);
static_assert(sizeof(ftime) == 8);

// The bit positions are checked at compile time where the compiler can bit_cast
// bit-fields in a constant expression (GCC; clang 14 cannot yet).
#if !defined(__clang__)
namespace {
struct ftime_units {
  uint32_t low;
  uint32_t high;
};
constexpr ftime kMonthBit = std::bit_cast<ftime>(ftime_units{1u << 22, 0});
constexpr ftime kYearBit = std::bit_cast<ftime>(ftime_units{0, 1});
constexpr ftime kGapBits = std::bit_cast<ftime>(ftime_units{0xFC000000u, 0xFFFFFF80u});
}  // namespace
static_assert(kMonthBit.month == 1 && kMonthBit.year == 0 && kMonthBit.day == 0);
static_assert(kYearBit.year == 1 && kYearBit.month == 0 && kYearBit.second == 0);
static_assert(kGapBits.second == 0 && kGapBits.minute == 0 && kGapBits.hour == 0 &&
              kGapBits.day == 0 && kGapBits.month == 0 && kGapBits.year == 0);
#endif

const char MonthName[12][4] = {"jan", "feb", "mar", "apr", "may", "jun",
                               "jul", "aug", "sep", "oct", "nov", "dec"};

void getdatetime(date* d, utime* t) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  time_t seconds = now.tv_sec;
  struct tm local;
  localtime_r(&seconds, &local);
  if (d != nullptr) {
    d->year = local.tm_year + 1900;
    d->month = static_cast<signed char>(local.tm_mon + 1);
    d->day = static_cast<signed char>(local.tm_mday);
  }
  if (t != nullptr) {
    t->hour = static_cast<unsigned char>(local.tm_hour);
    t->minute = static_cast<unsigned char>(local.tm_min);
    t->second = static_cast<unsigned char>(local.tm_sec);
    t->hundredths = static_cast<unsigned char>(now.tv_nsec / 10000000);
  }
}

void getdate(date* d) { getdatetime(d, nullptr); }

void gettime(utime* t) { getdatetime(nullptr, t); }

bool FileTimeOf(time_t seconds, ftime* t) {
  struct tm local;
  if (localtime_r(&seconds, &local) == nullptr) return false;
  // Masking keeps each value inside its field: 1979 wraps to 127, 2108 to 0.
  t->year = static_cast<unsigned>(local.tm_year - 80) & 0x7F;
  t->month = static_cast<unsigned>(local.tm_mon + 1) & 0x0F;
  t->day = static_cast<unsigned>(local.tm_mday) & 0x1F;
  t->hour = static_cast<unsigned>(local.tm_hour) & 0x1F;
  t->minute = static_cast<unsigned>(local.tm_min) & 0x3F;
  t->second = static_cast<unsigned>(local.tm_sec) & 0x3F;
  return true;
}

void getftime(const char* path, ftime* t) {
  struct stat st;
  if (lstat(path, &st) == 0) FileTimeOf(st.st_mtime, t);
}

int64_t GetGmtoff() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  return local.tm_gmtoff;
}

namespace {
// The value of the digits at [first, first + count); a missing character counts as '0'.
int DigitsAt(const std::string& text, std::size_t first, std::size_t count) {
  int value = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    int digit = i < text.size() ? text[i] - '0' : 0;
    value = value * 10 + digit;
  }
  return value;
}
}  // namespace

int64_t DateTimeToTimeStamp(const std::string& text) {
  struct tm local = {};
  local.tm_year = DigitsAt(text, 0, 4) - 1900;
  local.tm_mon = DigitsAt(text, 5, 2) - 1;
  local.tm_mday = DigitsAt(text, 8, 2);
  local.tm_hour = DigitsAt(text, 11, 2);
  local.tm_min = DigitsAt(text, 14, 2);
  local.tm_sec = DigitsAt(text, 17, 2);
  local.tm_isdst = -1;  // the zone's rules decide daylight saving for that date
  return static_cast<int64_t>(mktime(&local));
}
