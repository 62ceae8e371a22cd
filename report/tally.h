// The figures of each counter, gathered one hit at a time. Memory grows with
// the counters, their days, their referring sites and their distinct client
// addresses (see AddressSet), never with the number of lines read.
#ifndef KORVELIN_REPORT_TALLY_H
#define KORVELIN_REPORT_TALLY_H

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/address_set.h"
#include "report/hit_line.h"
#include "report/text_hash.h"

// Where the hits of the logs go, one log after another.
class HitSink {
 public:
  virtual ~HitSink() = default;
  // The log of counter is read next; called once per log, before its first hit.
  virtual void BeginLog(const std::string& counter) = 0;
  virtual void Add(const Hit& hit) = 0;
};

// A hit's moment: ordered by day, then second.
struct Moment {
  date day_date{};
  utime time{};
  int64_t order = 0;
};

struct CounterFigures {
  uint64_t hits = 0;
  std::map<int, uint64_t> days;  // day number -> hits on that day
  Moment first, last;
  AddressSet clients;  // distinct client addresses
  TextCounts sites;  // referring site -> hits

  // Hits on the days from first to last, both included.
  uint64_t HitsBetween(int first_day, int last_day) const;
  // The sites with the most hits, most first (ties by name), at most limit.
  std::vector<std::pair<std::string, uint64_t>> TopSites(std::size_t limit) const;
};

// The referring site of a referer: its host, lowercase, without user or port;
// "(none)" when the referer is absent, "(not a web address)" when it has no host.
std::string_view RefererSite(std::string_view referer, std::string* scratch);

class Tally : public HitSink {
 public:
  void BeginLog(const std::string& counter) override;
  void Add(const Hit& hit) override;

  // Takes over the counters of other, which has none of this tally's.
  void Merge(Tally* other) { counters_.merge(other->counters_); }

  // The counters by name.
  const std::map<std::string, CounterFigures>& counters() const { return counters_; }

 private:
  std::map<std::string, CounterFigures> counters_;
  CounterFigures* current_ = nullptr;
  // Hits of one log come in order of time, so most fall on the day counted last.
  int current_day_ = 0;
  uint64_t* current_day_hits_ = nullptr;
  std::string site_scratch_;
};

#endif
