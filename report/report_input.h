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

// The dates the report is limited to, as "from X", "until Y", "from X to Y"; empty when not limited.
std::string RangeText(const Options& options);

#endif
