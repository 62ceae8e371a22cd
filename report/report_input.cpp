#include "report/report_input.h"

#include "report/days.h"

std::string RangeText(const Options& options) {
  if (options.since && options.until)
    return "from " + IsoDate(*options.since) + " to " + IsoDate(*options.until);
  if (options.since) return "from " + IsoDate(*options.since);
  if (options.until) return "until " + IsoDate(*options.until);
  return "";
}
