// The report as one self-contained HTML page (Windows-1251): a summary table
// and a bar chart of hits per day for each counter. Nothing is loaded from
// elsewhere, and there is no script.
#ifndef KORVELIN_REPORT_HTML_REPORT_H
#define KORVELIN_REPORT_HTML_REPORT_H

#include <string>

#include "report/report_input.h"

std::string HtmlReport(const ReportInput& input);

#endif
