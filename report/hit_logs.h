// Reading the hit logs of counters directories into a sink.
#ifndef KORVELIN_REPORT_HIT_LOGS_H
#define KORVELIN_REPORT_HIT_LOGS_H

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "report/tally.h"

// Which hits are read.
struct ReadScope {
  int since_day = INT_MIN;  // day numbers, both included
  int until_day = INT_MAX;
  bool one_counter = false;  // only the log of counter
  std::string counter;
};

// What was read, and what was skipped as not being hits. Skipped lines are
// counted, never shown: they may hold anything.
struct ReadSummary {
  uint64_t logs = 0;             // hit logs read
  uint64_t malformed_lines = 0;  // blank, torn, overlong, noise, forged
  uint64_t damaged_logs = 0;     // logs holding at least one of them
  uint64_t not_files = 0;        // *.log entries that are not regular files

  // One line telling what was skipped; empty when nothing was.
  std::string SkippedLine() const;
  ReadSummary& operator+=(const ReadSummary& other);
};

// Reads every *.log file of the directories, in order of counter name, and
// hands its hits to sink. False on a directory or log that cannot be read,
// with *error naming it.
bool ReadHitLogs(const std::vector<std::string>& directories, const ReadScope& scope,
                 HitSink* sink, ReadSummary* summary, std::string* error);

// The same into tally, with the counters shared out among up to workers
// threads: the logs of different counters have nothing in common, so each
// thread reads whole counters into a tally of its own, and they are joined.
bool TallyHitLogs(const std::vector<std::string>& directories, const ReadScope& scope,
                  unsigned workers, Tally* tally, ReadSummary* summary, std::string* error);

#endif
