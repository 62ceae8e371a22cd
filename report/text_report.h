// The report as text for a terminal.
#ifndef KORVELIN_REPORT_TEXT_REPORT_H
#define KORVELIN_REPORT_TEXT_REPORT_H

#include <string>

#include "report/report_input.h"

std::string TextReport(const ReportInput& input);

#endif
