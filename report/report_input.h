// What the three forms of the report are made from.
#ifndef KORVELIN_REPORT_REPORT_INPUT_H
#define KORVELIN_REPORT_REPORT_INPUT_H

#include <string>
#include <vector>

#include "report/hit_logs.h"
#include "report/options.h"
#include "report/tally.h"

struct ReportInput {
  const Options& options;
  const std::vector<std::string>& directories;
  const Tally& tally;
  const ReadSummary& summary;
  date today;
  int today_number;
};

// "Today is YYYY-MM-DD", then the dates the report is limited to, if it is.
std::string TodayText(const ReportInput& input);

// Appends the items separated by ", ", each written by append(out, item).
template <typename Items, typename Append>
void AppendJoined(std::string* out, const Items& items, Append append) {
  const char* separator = "";
  for (const auto& item : items) {
    *out += separator;
    append(out, item);
    separator = ", ";
  }
}

#endif
