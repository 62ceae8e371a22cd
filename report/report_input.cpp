#include "report/report_input.h"

#include "report/days.h"

std::string TodayText(const ReportInput& input) {
  std::string text = "Today is " + IsoDate(input.today);
  const Options& options = input.options;
  if (options.since) text += "; hits from " + IsoDate(*options.since);
  if (options.until) text += std::string(options.since ? " to " : "; hits until ") + IsoDate(*options.until);
  return text;
}
