#include "report/bar_chart.h"

#include <cstdio>
#include <vector>

#include "report/days.h"
#include "report/escape.h"
#include "report/figures.h"

namespace {
// The drawing's size and the plot area inside it, in pixels.
constexpr double kWidth = 760, kHeight = 280;
constexpr double kLeft = 64, kRight = 48, kTop = 40, kBottom = 56;
constexpr double kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
// The share of a day's slot its bar fills.
constexpr double kBarShare = 0.8;

std::string Number(double value) {
  char text[32];
  snprintf(text, sizeof text, "%.2f", value);
  return text;
}

struct Day {
  std::string iso;
  uint64_t hits;
};

void AppendText(std::string* out, double x, double y, const char* anchor, const std::string& attributes,
                std::string_view text) {
  *out += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
          attributes + ">";
  AppendHtml(out, text);
  *out += "</text>\n";
}

void AppendLine(std::string* out, double x1, double y1, double x2, double y2) {
  *out += "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) +
          "\" y2=\"" + Number(y2) + "\"/>\n";
}

void AppendAxes(std::string* out, const std::vector<Day>& days, uint64_t most, double slot) {
  double bottom = kTop + kPlotHeight;
  *out += "<g class=\"axes\">\n";
  AppendLine(out, kLeft, kTop, kLeft, bottom);
  AppendLine(out, kLeft, bottom, kLeft + kPlotWidth, bottom);
  // The hits axis: zero, the middle when it is a whole number, and the most.
  std::vector<uint64_t> ticks{0, most};
  if (most % 2 == 0 && most > 2) ticks.insert(ticks.begin() + 1, most / 2);
  for (uint64_t tick : ticks) {
    double y = bottom - kPlotHeight * static_cast<double>(tick) / static_cast<double>(most);
    AppendLine(out, kLeft - 4, y, kLeft, y);
    AppendText(out, kLeft - 8, y + 4, "end", "", std::to_string(tick));
  }
  // The day axis: the first and last days, and the middle one of a longer span.
  std::vector<std::size_t> labelled{0};
  if (days.size() > 2) labelled.push_back(days.size() / 2);
  if (days.size() > 1) labelled.push_back(days.size() - 1);
  for (std::size_t index : labelled) {
    double x = kLeft + slot * (static_cast<double>(index) + 0.5);
    AppendLine(out, x, bottom, x, bottom + 4);
    AppendText(out, x, bottom + 18, "middle", "", days[index].iso);
  }
  AppendText(out, kLeft + kPlotWidth / 2, kHeight - 8, "middle", " class=\"axis-title\"", "day");
  std::string turn = " class=\"axis-title\" transform=\"rotate(-90 16 " + Number(kTop + kPlotHeight / 2) + ")\"";
  AppendText(out, 16, kTop + kPlotHeight / 2, "middle", turn, "hits per day");
  *out += "</g>\n";
}
}  // namespace

void AppendBarChart(std::string* out, const std::string& counter, const CounterFigures& figures) {
  std::vector<Day> days;
  uint64_t most = 1;
  ForEachDay(figures, [&days, &most](const date& day, uint64_t hits) {
    days.push_back({IsoDate(day), hits});
    if (hits > most) most = hits;
  });
  *out += "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"" + Number(kWidth) +
          "\" height=\"" + Number(kHeight) + "\" viewBox=\"0 0 " + Number(kWidth) + " " +
          Number(kHeight) + "\" role=\"img\" aria-label=\"Hits per day of counter ";
  AppendHtml(out, counter);
  *out += "\">\n";
  AppendText(out, kLeft, 24, "start", " class=\"chart-title\"", counter);
  if (days.empty()) {
    AppendText(out, kLeft + kPlotWidth / 2, kTop + kPlotHeight / 2, "middle", "", "no hits");
    *out += "</svg>\n";
    return;
  }
  double slot = kPlotWidth / static_cast<double>(days.size());
  double bottom = kTop + kPlotHeight;
  for (std::size_t i = 0; i < days.size(); ++i) {
    double height = kPlotHeight * static_cast<double>(days[i].hits) / static_cast<double>(most);
    *out += "<rect class=\"bar\" data-day=\"" + days[i].iso + "\" data-hits=\"" +
            std::to_string(days[i].hits) + "\" x=\"" +
            Number(kLeft + slot * (static_cast<double>(i) + (1 - kBarShare) / 2)) + "\" y=\"" +
            Number(bottom - height) + "\" width=\"" + Number(slot * kBarShare) + "\" height=\"" +
            Number(height) + "\"><title>" + days[i].iso + ": " + std::to_string(days[i].hits) +
            (days[i].hits == 1 ? " hit" : " hits") + "</title></rect>\n";
  }
  AppendAxes(out, days, most, slot);
  *out += "</svg>\n";
}
