// What counter.cgi and counter-report were built with.
#ifndef KORVELIN_REPORT_SETTINGS_H
#define KORVELIN_REPORT_SETTINGS_H

#include <string>

// The counters directory of the compiled data root.
std::string DefaultCountersDirectory();
// The text of --settings: data root, home page and guards, one per line.
std::string SettingsText();

#endif
