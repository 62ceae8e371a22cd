// A counter's hits per day as an inline SVG bar chart.
#ifndef KORVELIN_REPORT_BAR_CHART_H
#define KORVELIN_REPORT_BAR_CHART_H

#include <string>

#include "report/tally.h"

// Appends an <svg> element: one <rect class="bar"> per day from the first hit
// to the last (data-day and data-hits give its day and hits), the axes with
// their labels, and the counter's name as the title.
void AppendBarChart(std::string* out, const std::string& counter, const CounterFigures& figures);

#endif
