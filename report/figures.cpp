#include "report/figures.h"

#include <cstdio>

#include "korvelin/support/calendar.h"

RecentHits CountRecent(const CounterFigures& figures, int today) {
  return {figures.HitsBetween(today, today), figures.HitsBetween(today - 6, today),
          figures.HitsBetween(today - 29, today)};
}

std::string MomentText(const date& day, const utime& time, char separator) {
  char text[32];
  snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", static_cast<int>(day.year),
           day.month, day.day, separator, time.hour, time.minute, time.second);
  return text;
}

void ForEachDay(const CounterFigures& figures,
                const std::function<void(const date& day, uint64_t hits)>& visit) {
  if (figures.days.empty()) return;
  date day = figures.first.day_date;
  auto next = figures.days.begin();
  for (int number = figures.days.begin()->first; number <= figures.days.rbegin()->first; ++number) {
    uint64_t hits = 0;
    if (next != figures.days.end() && next->first == number) hits = (next++)->second;
    visit(day, hits);
    NextDateStruct(&day);
  }
}
