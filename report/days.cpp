#include "report/days.h"

#include <cstdio>

#include "korvelin/support/calendar.h"

namespace {
constexpr date kOrigin{2000, 1, 1};
constexpr int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}  // namespace

int ParseDigits(std::string_view text, std::size_t n) {
  if (text.size() < n) return -1;
  int value = 0;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned digit = static_cast<unsigned char>(text[i]) - '0';
    if (digit > 9) return -1;
    value = value * 10 + static_cast<int>(digit);
  }
  return value;
}

bool ValidDate(int year, int month, int day) {
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  if (month == 2 && year % 4 != 0) return day <= 28;
  return day <= kMonthDays[month - 1];
}

int DayNumber(date d) { return DaysCount(kOrigin, d); }

bool ParseIsoDate(std::string_view text, date* d) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int year = ParseDigits(text, 4), month = ParseDigits(text.substr(5), 2), day = ParseDigits(text.substr(8), 2);
  if (!ValidDate(year, month, day)) return false;
  *d = date{year, static_cast<signed char>(day), static_cast<signed char>(month)};
  return true;
}

std::string IsoDate(date d) {
  char text[16];
  snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(d.year), d.month, d.day);
  return text;
}
