#include "korvelin/support/calendar.h"

#include <cstdint>

namespace {

// Days before each month in a common year, and the whole year at index 12.
constexpr int kDaysBefore[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

// Weekday number of 1 January for the years 1901-2100, by the year's remainder on division by 28.
constexpr int kJanuaryFirst[28] = {5, 7, 1, 2, 3, 5, 6, 7, 1, 3, 4, 5, 6, 1,
                                   2, 3, 4, 6, 7, 1, 2, 4, 5, 6, 7, 2, 3, 4};

bool FourYearLeap(int64_t year) { return year % 4 == 0; }

bool GregorianLeap(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool HasDays31(int month) {
  return month == 1 || month == 3 || month == 5 || month == 7 || month == 8 || month == 10 ||
         month == 12;
}

bool HasDays30(int month) { return month == 4 || month == 6 || month == 9 || month == 11; }

// Length of a month; a month outside 1 to 12 (a record holding no date) counts 31 days.
int MonthLength(int month, bool leap) {
  if (HasDays30(month)) return 30;
  if (month == 2) return leap ? 29 : 28;
  return 31;
}

// Days of the months before month; below 1 none, above 12 the whole year.
int DaysBeforeMonth(int month, bool leap) {
  if (month < 1) return 0;
  if (month > 13) month = 13;
  return kDaysBefore[month - 1] + (leap && month > 2 ? 1 : 0);
}

// value + delta, wrapping instead of overflowing for records that hold no date at all.
int Wrap(int value, int delta) {
  return static_cast<int>(static_cast<unsigned>(value) + static_cast<unsigned>(delta));
}

template <typename T>
int Order(T first, T second) {
  if (first < second) return -1;
  return first > second ? 1 : 0;
}

// The steps are made one after the other, each on the values the one before left.
void DayForward(int& year, int& month, int& day) {
  day = Wrap(day, 1);
  if (day > 31 && HasDays31(month)) { day = 1; ++month; }
  if (day > 30 && HasDays30(month)) { day = 1; ++month; }
  if (day > 29 && month == 2 && FourYearLeap(year)) { day = 1; ++month; }
  if (day > 28 && month == 2 && !FourYearLeap(year)) { day = 1; ++month; }
  if (month > 12) { month = 1; year = Wrap(year, 1); }
}

void DayBack(int& year, int& month, int& day) {
  day = Wrap(day, -1);
  if (day != 0) return;
  if (month > 1) {
    --month;
  } else {
    month = 12;
    year = Wrap(year, -1);
  }
  day = MonthLength(month, FourYearLeap(year));
}

// Steps a date record through the int form of the stepping operations.
void StepRecord(date* d, void (*step)(int&, int&, int&)) {
  int year = d->year;
  int month = d->month;
  int day = d->day;
  step(year, month, day);
  d->year = year;
  d->month = static_cast<signed char>(month);
  d->day = static_cast<signed char>(day);
}

// Day of the year under the four-year rule, February of the date's own year included.
int64_t DayOfYear(date d) { return d.day + DaysBeforeMonth(d.month, FourYearLeap(d.year)); }

}  // namespace

int NextDate(int* year, int* month, int* day) {
  DayForward(*year, *month, *day);
  return 0;
}

int LastDate(int* year, int* month, int* day) {
  DayBack(*year, *month, *day);
  return 0;
}

int NextDateStruct(date* d) {
  StepRecord(d, DayForward);
  return 0;
}

int LastDateStruct(date* d) {
  StepRecord(d, DayBack);
  return 0;
}

int NextSecHund(date* d, utime* t) {
  // Every test is made whether or not the step before carried, so a field that was
  // already out of range is brought back too.
  int hundredths = t->hundredths + 1;
  int second = t->second;
  int minute = t->minute;
  int hour = t->hour;
  if (hundredths > 99) { hundredths = 0; ++second; }
  if (second > 59) { second = 0; ++minute; }
  if (minute > 59) { minute = 0; ++hour; }
  if (hour > 23) {
    hour = 0;
    NextDateStruct(d);
  }
  t->hundredths = static_cast<unsigned char>(hundredths);
  t->second = static_cast<unsigned char>(second);
  t->minute = static_cast<unsigned char>(minute);
  t->hour = static_cast<unsigned char>(hour);
  return 0;
}

int TimeCmp(ftime first, ftime second) {
  const unsigned a[] = {first.year, first.month, first.day, first.hour, first.minute, first.second};
  const unsigned b[] = {second.year, second.month, second.day, second.hour, second.minute, second.second};
  for (int i = 0; i < 6; ++i) {
    if (int order = Order(a[i], b[i])) return order;
  }
  return 0;
}

int DatesCmp(date first_date, utime first_time, date second_date, utime second_time) {
  const int a[] = {first_date.year, first_date.month, first_date.day, first_time.hour,
                   first_time.minute, first_time.second, first_time.hundredths};
  const int b[] = {second_date.year, second_date.month, second_date.day, second_time.hour,
                   second_time.minute, second_time.second, second_time.hundredths};
  for (int i = 0; i < 7; ++i) {
    if (int order = Order(a[i], b[i])) return order;
  }
  return 0;
}

int weekday(date d) {
  // Non-negative remainders, so a negative year or a day below 1 stays inside the table and the week.
  int remainder = d.year % 28;
  if (remainder < 0) remainder += 28;
  int64_t sum = kJanuaryFirst[remainder] + d.day - 2 + DaysBeforeMonth(d.month, GregorianLeap(d.year));
  int day = static_cast<int>(sum % 7);
  if (day < 0) day += 7;
  return day + 1;
}

int DaysCount(date first, date second) {
  int64_t years = static_cast<int64_t>(second.year) - first.year;
  int64_t days = years / 4 * 1461;  // every four consecutive years hold 1461 days
  int64_t leftover = years % 4;     // carries the sign of years
  // Forwards the leftover years are the first ones from the first year on; backwards
  // they are the ones just before the first year, and count against the result.
  for (int64_t year = first.year; year < first.year + leftover; ++year) {
    days += 365 + (FourYearLeap(year) ? 1 : 0);
  }
  for (int64_t year = first.year + leftover; year < first.year; ++year) {
    days -= 365 + (FourYearLeap(year) ? 1 : 0);
  }
  return static_cast<int>(days + DayOfYear(second) - DayOfYear(first));
}
