#include "report/html_report.h"

#include "report/bar_chart.h"
#include "report/days.h"
#include "report/escape.h"
#include "report/figures.h"

namespace {
constexpr char kHead[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"windows-1251\">\n"
    "<title>Counter hits</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; margin: 2em; color: #222; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; text-align: right; }\n"
    "th:first-child, td:first-child, th:last-child, td.sites { text-align: left; }\n"
    "td.sites { font-size: 90%; }\n"
    ".skipped { color: #a40; }\n"
    ".chart .bar { fill: #3a6ea5; }\n"
    ".chart line { stroke: #444; }\n"
    ".chart text { font-size: 12px; fill: #222; }\n"
    ".chart .chart-title { font-size: 15px; font-weight: bold; }\n"
    ".chart .axis-title { font-size: 12px; fill: #555; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Counter hits</h1>\n";

constexpr const char* kColumns[] = {"Counter", "Hits", "Today", "Last 7 days", "Last 30 days",
                                    "First hit", "Last hit", "Clients", "Top referring sites"};

void AppendCell(std::string* out, std::string_view text) {
  *out += "<td>";
  AppendHtml(out, text);
  *out += "</td>";
}

void AppendRow(std::string* out, std::size_t index, const std::string& name,
               const CounterFigures& figures, int today) {
  RecentHits recent = CountRecent(figures, today);
  *out += "<tr><td><a href=\"#counter-" + std::to_string(index) + "\">";
  AppendHtml(out, name);
  *out += "</a></td>";
  for (uint64_t value : {figures.hits, recent.today, recent.last_7_days, recent.last_30_days})
    AppendCell(out, std::to_string(value));
  AppendCell(out, figures.hits > 0 ? MomentText(figures.first, ' ') : "");
  AppendCell(out, figures.hits > 0 ? MomentText(figures.last, ' ') : "");
  AppendCell(out, std::to_string(figures.clients.size()));
  *out += "<td class=\"sites\">";
  AppendJoined(out, figures.TopSites(kTopSites), [](std::string* text, const auto& site) {
    AppendHtml(text, site.first);
    *text += " (" + std::to_string(site.second) + ")";
  });
  *out += "</td></tr>\n";
}
}  // namespace

std::string HtmlReport(const ReportInput& input) {
  std::string out = kHead;
  out += "<p>Hit logs in ";
  AppendJoined(&out, input.directories, AppendHtml);
  out += ". " + TodayText(input) + ".</p>\n";
  std::string skipped = input.summary.SkippedLine();
  if (!skipped.empty()) out += "<p class=\"skipped\">" + skipped + ".</p>\n";

  out += "<table>\n<tr>";
  for (const char* column : kColumns) out += std::string("<th>") + column + "</th>";
  out += "</tr>\n";
  std::size_t index = 0;
  for (const auto& [name, figures] : input.tally.counters())
    AppendRow(&out, ++index, name, figures, input.today_number);
  out += "</table>\n";

  index = 0;
  for (const auto& [name, figures] : input.tally.counters()) {
    out += "<section id=\"counter-" + std::to_string(++index) + "\">\n<h2>";
    AppendHtml(&out, name);
    out += "</h2>\n";
    AppendBarChart(&out, name, figures);
    out += "</section>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}
