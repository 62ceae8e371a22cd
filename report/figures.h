// The figures every form of the report shows for a counter.
#ifndef KORVELIN_REPORT_FIGURES_H
#define KORVELIN_REPORT_FIGURES_H

#include <cstdint>
#include <functional>
#include <string>

#include "report/tally.h"

// How many referring sites the report names per counter.
inline constexpr std::size_t kTopSites = 5;

// Hits today and in the last 7 and 30 days (today included).
struct RecentHits {
  uint64_t today = 0;
  uint64_t last_7_days = 0;
  uint64_t last_30_days = 0;
};
RecentHits CountRecent(const CounterFigures& figures, int today);

// "YYYY-MM-DD" and the time after separator: ' ' for people, 'T' for ISO 8601.
std::string MomentText(const date& day, const utime& time, char separator);
inline std::string MomentText(const Moment& moment, char separator) {
  return MomentText(moment.day_date, moment.time, separator);
}

// Calls visit(date, hits) for every day from the counter's first hit to its
// last, days without hits included.
void ForEachDay(const CounterFigures& figures,
                const std::function<void(const date& day, uint64_t hits)>& visit);

#endif
