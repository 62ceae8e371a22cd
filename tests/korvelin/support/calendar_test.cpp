#include "korvelin/support/calendar.h"

#include <gtest/gtest.h>

#include <time.h>

#include <bit>
#include <cstdint>
#include <vector>

namespace {

struct Ymd {
  int year, month, day;
  bool operator==(const Ymd&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ymd& d) {
  return out << d.day << '.' << d.month << '.' << d.year;
}

date Record(Ymd d) { return date{d.year, static_cast<signed char>(d.day), static_cast<signed char>(d.month)}; }
Ymd Fields(date d) { return {d.year, d.month, d.day}; }

// The expected day after each date; read backwards, the day before.
const struct {
  Ymd from, to;
} kDaySteps[] = {
    {{2024, 2, 28}, {2024, 2, 29}}, {{2024, 2, 29}, {2024, 3, 1}}, {{2023, 2, 28}, {2023, 3, 1}},
    {{2100, 2, 28}, {2100, 2, 29}}, {{1900, 2, 29}, {1900, 3, 1}}, {{2025, 12, 31}, {2026, 1, 1}},
    {{2026, 4, 30}, {2026, 5, 1}},  {{2026, 1, 31}, {2026, 2, 1}}, {{2026, 7, 31}, {2026, 8, 1}},
    {{2026, 6, 15}, {2026, 6, 16}}, {{-1, 12, 31}, {0, 1, 1}},     {{0, 2, 28}, {0, 2, 29}},
};

TEST(Calendar, DayStepsForwardAndBack) {
  for (const auto& step : kDaySteps) {
    Ymd d = step.from;
    EXPECT_EQ(NextDate(&d.year, &d.month, &d.day), 0);
    EXPECT_EQ(d, step.to) << "after " << step.from;
    EXPECT_EQ(LastDate(&d.year, &d.month, &d.day), 0);
    EXPECT_EQ(d, step.from) << "before " << step.to;

    date record = Record(step.from);
    EXPECT_EQ(NextDateStruct(&record), 0);
    EXPECT_EQ(Fields(record), step.to) << "record after " << step.from;
    EXPECT_EQ(LastDateStruct(&record), 0);
    EXPECT_EQ(Fields(record), step.from) << "record before " << step.to;
  }
}

// Every date from 1 January 1880 to 31 December 2120, walked forwards with NextDate.
const std::vector<Ymd>& Walk() {
  static const std::vector<Ymd> days = [] {
    std::vector<Ymd> list;
    Ymd d{1880, 1, 1};
    while (d.year <= 2120) {
      list.push_back(d);
      NextDate(&d.year, &d.month, &d.day);
    }
    return list;
  }();
  return days;
}

TEST(Calendar, NextAndLastDateAreInversesOverCenturies) {
  const std::vector<Ymd>& days = Walk();
  // 241 years of the four-year rule, every one of them a leap year when divisible by 4.
  ASSERT_EQ(days.size(), 241u * 365 + 61);
  for (size_t i = 1; i < days.size(); ++i) {
    Ymd d = days[i];
    LastDate(&d.year, &d.month, &d.day);
    ASSERT_EQ(d, days[i - 1]) << "before " << days[i];
    ASSERT_GE(days[i].day, 1);
    ASSERT_LE(days[i].month, 12);
  }
  EXPECT_EQ(days.back(), (Ymd{2120, 12, 31}));
}

TEST(Calendar, DaysCountMatchesTheWalkBothWays) {
  const std::vector<Ymd>& days = Walk();
  for (size_t i = 0; i < days.size(); i += 997) {
    for (size_t j = 0; j < days.size(); j += 1009) {
      int distance = static_cast<int>(j) - static_cast<int>(i);
      ASSERT_EQ(DaysCount(Record(days[i]), Record(days[j])), distance) << days[i] << " to " << days[j];
    }
  }
}

TEST(Calendar, DaysCountExamples) {
  const struct {
    Ymd first, second;
    int days;
  } cases[] = {
      {{2024, 1, 1}, {2025, 1, 1}, 366},   {{2026, 1, 1}, {2026, 12, 7}, 340},
      {{1900, 1, 1}, {1901, 1, 1}, 366},   {{2026, 12, 7}, {2026, 12, 7}, 0},
      {{2026, 12, 7}, {2018, 12, 7}, -2922}, {{2025, 1, 1}, {2024, 1, 1}, -366},
      {{2027, 3, 1}, {2024, 2, 29}, -1096}, {{2024, 3, 1}, {2024, 2, 28}, -2},
      {{2026, 12, 31}, {2027, 1, 1}, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DaysCount(Record(c.first), Record(c.second)), c.days) << c.first << " to " << c.second;
  }
}

// Every day of the real calendar from 1901 to 2100, its day of the week taken from the C library.
TEST(Calendar, WeekdayIsTrueFrom1901To2100) {
  struct tm first = {};
  first.tm_year = 1901 - 1900;
  first.tm_mday = 1;
  time_t moment = timegm(&first);
  int checked = 0;
  for (;; moment += 86400) {
    struct tm day;
    ASSERT_NE(gmtime_r(&moment, &day), nullptr);
    if (day.tm_year + 1900 > 2100) break;
    date d{day.tm_year + 1900, static_cast<signed char>(day.tm_mday), static_cast<signed char>(day.tm_mon + 1)};
    ASSERT_EQ(weekday(d), (day.tm_wday + 6) % 7 + 1) << day.tm_mday << '.' << day.tm_mon + 1 << '.' << d.year;
    ++checked;
  }
  EXPECT_EQ(checked, 200 * 365 + 49);  // 1904 to 2096; 2100 is no leap year in the real calendar
}

TEST(Calendar, WeekdayExamplesAndOddRecords) {
  EXPECT_EQ(weekday(Record({2000, 1, 1})), 6);
  EXPECT_EQ(weekday(Record({2024, 1, 1})), 1);
  EXPECT_EQ(weekday(Record({2026, 12, 7})), 1);
  EXPECT_EQ(weekday(Record({2100, 3, 1})), 1);
  // Negative years, days below 1 and months outside 1 to 12 still give a day of the week.
  for (int year : {-2147483647 - 1, -29, -28, -1, 0, 2147483647}) {
    for (int month : {-128, 0, 1, 2, 12, 13, 127}) {
      for (int day : {-128, 0, 1, 31, 127}) {
        int w = weekday(Record({year, month, day}));
        EXPECT_TRUE(w >= 1 && w <= 7) << day << '.' << month << '.' << year << " gives " << w;
      }
    }
  }
}

TEST(Calendar, NextSecHundCarriesEveryField) {
  const struct {
    Ymd day;
    int hour, minute, second, hundredths;
    Ymd next_day;
    int next_hour, next_minute, next_second, next_hundredths;
  } cases[] = {
      {{2025, 12, 31}, 23, 59, 59, 99, {2026, 1, 1}, 0, 0, 0, 0},
      {{2024, 2, 28}, 23, 59, 59, 99, {2024, 2, 29}, 0, 0, 0, 0},
      {{2026, 6, 1}, 10, 20, 30, 40, {2026, 6, 1}, 10, 20, 30, 41},
      {{2026, 6, 1}, 10, 20, 30, 99, {2026, 6, 1}, 10, 20, 31, 0},
      {{2026, 6, 1}, 10, 59, 59, 99, {2026, 6, 1}, 11, 0, 0, 0},
      // A field already out of range is brought back even without a carry into it.
      {{2026, 6, 1}, 10, 20, 60, 10, {2026, 6, 1}, 10, 21, 0, 11},
      {{2026, 6, 1}, 24, 0, 0, 0, {2026, 6, 2}, 0, 0, 0, 1},
      {{2026, 6, 1}, 0, 0, 0, 255, {2026, 6, 1}, 0, 0, 1, 0},
  };
  for (const auto& c : cases) {
    date d = Record(c.day);
    utime t{static_cast<unsigned char>(c.minute), static_cast<unsigned char>(c.hour),
            static_cast<unsigned char>(c.hundredths), static_cast<unsigned char>(c.second)};
    EXPECT_EQ(NextSecHund(&d, &t), 0);
    EXPECT_EQ(Fields(d), c.next_day) << c.day;
    EXPECT_EQ(t.hour, c.next_hour) << c.day << ' ' << c.hour;
    EXPECT_EQ(t.minute, c.next_minute) << c.day << ' ' << c.hour;
    EXPECT_EQ(t.second, c.next_second) << c.day << ' ' << c.hour;
    EXPECT_EQ(t.hundredths, c.next_hundredths) << c.day << ' ' << c.hour;
  }
}

ftime FileTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
  ftime t{};
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

TEST(Calendar, TimeCmpOrdersFieldsFromYearDown) {
  const ftime base = FileTime(46, 6, 15, 12, 30, 30);
  const struct {
    ftime other;
    int order;  // of base against other
  } cases[] = {
      {FileTime(46, 6, 15, 12, 30, 30), 0},  {FileTime(47, 1, 1, 0, 0, 0), -1},
      {FileTime(45, 12, 31, 23, 59, 59), 1}, {FileTime(46, 7, 1, 0, 0, 0), -1},
      {FileTime(46, 6, 14, 23, 59, 59), 1},  {FileTime(46, 6, 15, 13, 0, 0), -1},
      {FileTime(46, 6, 15, 12, 29, 59), 1},  {FileTime(46, 6, 15, 12, 30, 31), -1},
      {FileTime(127, 0, 0, 0, 0, 0), -1},    {FileTime(0, 15, 31, 31, 63, 63), 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimeCmp(base, c.other), c.order);
    EXPECT_EQ(TimeCmp(c.other, base), -c.order);
  }

  // Bits that belong to no field take no part.
  struct Units {
    uint32_t low, high;
  };
  Units units = std::bit_cast<Units>(base);
  units.low |= 0xFC000000u;
  units.high |= 0xFFFFFF80u;
  EXPECT_EQ(TimeCmp(std::bit_cast<ftime>(units), base), 0);
}

TEST(Calendar, DatesCmpOrdersFromYearDownToHundredths) {
  const date day = Record({2026, 6, 15});
  const utime noon{30, 12, 50, 30};  // minute, hour, hundredths, second
  const struct {
    date other_day;
    utime other_time;
    int order;  // of (day, noon) against the other moment
  } cases[] = {
      {day, noon, 0},
      {day, {30, 12, 51, 30}, -1},  // decided by the hundredths alone
      {day, {30, 12, 49, 30}, 1},
      {day, {30, 12, 0, 31}, -1},
      {day, {31, 12, 0, 0}, -1},
      {day, {0, 11, 99, 59}, 1},
      {Record({2026, 6, 16}), {0, 0, 0, 0}, -1},
      {Record({2026, 5, 31}), {59, 23, 99, 59}, 1},
      {Record({2025, 12, 31}), noon, 1},
      {Record({-1, 6, 15}), noon, 1},  // the year is signed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DatesCmp(day, noon, c.other_day, c.other_time), c.order);
    EXPECT_EQ(DatesCmp(c.other_day, c.other_time, day, noon), -c.order);
  }
}

}  // namespace
