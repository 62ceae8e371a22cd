// The command line of counter-report.
#ifndef KORVELIN_REPORT_OPTIONS_H
#define KORVELIN_REPORT_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "korvelin/support/clock.h"

struct Options {
  std::vector<std::string> directories;  // empty: the compiled data root's counters/
  std::optional<std::string> counter;    // --counter NAME
  std::optional<date> since, until, today;
  bool csv = false;
  bool hits = false;  // --csv --hits: one row per hit
  std::optional<std::string> html_file;
  bool settings = false;
  bool help = false;
};

// Reads argv into *options; false with *error set on a mistake in it.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The text of --help.
extern const char kUsage[];

#endif
