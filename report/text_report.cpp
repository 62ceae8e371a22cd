#include "report/text_report.h"

#include "report/days.h"
#include "report/escape.h"
#include "report/figures.h"

namespace {
void AppendCounter(std::string* out, const std::string& name, const CounterFigures& figures,
                   const ReportInput& input) {
  RecentHits recent = CountRecent(figures, input.today_number);
  AppendPrintable(out, name);
  *out += "\n  hits         " + std::to_string(figures.hits) + " in all, " +
          std::to_string(recent.today) + " today, " + std::to_string(recent.last_7_days) +
          " in the last 7 days, " + std::to_string(recent.last_30_days) + " in the last 30 days\n";
  if (figures.hits == 0) return;
  *out += "  first hit    " + MomentText(figures.first, ' ') + "\n";
  *out += "  last hit     " + MomentText(figures.last, ' ') + "\n";
  *out += "  clients      " + std::to_string(figures.clients.size()) + " distinct address" +
          (figures.clients.size() == 1 ? "" : "es") + "\n";
  *out += "  referred by  ";
  AppendJoined(out, figures.TopSites(kTopSites), [](std::string* text, const auto& site) {
    AppendPrintable(text, site.first);
    *text += " " + std::to_string(site.second);
  });
  *out += "\n";
  if (!input.options.counter) return;
  *out += "  hits per day\n";
  ForEachDay(figures, [out](const date& day, uint64_t hits) {
    *out += "    " + IsoDate(day) + "  " + std::to_string(hits) + "\n";
  });
}
}  // namespace

std::string TextReport(const ReportInput& input) {
  std::string out = "Hit logs in ";
  AppendJoined(&out, input.directories, AppendPrintable);
  out += "\n" + TodayText(input) + "\n";
  uint64_t hits = 0;
  for (const auto& [name, figures] : input.tally.counters()) {
    out += "\n";
    AppendCounter(&out, name, figures, input);
    hits += figures.hits;
  }
  std::size_t counters = input.tally.counters().size();
  out += "\n" + std::to_string(counters) + " counter" + (counters == 1 ? "" : "s") + ", " +
         std::to_string(hits) + " hit" + (hits == 1 ? "" : "s") + "\n";
  std::string skipped = input.summary.SkippedLine();
  if (!skipped.empty()) out += skipped + "\n";
  return out;
}
