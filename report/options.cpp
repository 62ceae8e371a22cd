#include "report/options.h"

#include <string_view>

#include "report/days.h"

const char kUsage[] =
    "usage: counter-report [OPTION]... [DIRECTORY]...\n"
    "Reports the hits of the counters whose hit logs (NAME.log) are in the\n"
    "DIRECTORYs, by default the counters/ directory of the compiled data root.\n"
    "The hits of logs with the same name in several directories are merged.\n"
    "\n"
    "  --counter NAME   only counter NAME, with its hits per day\n"
    "  --since DATE     only hits on or after DATE (YYYY-MM-DD)\n"
    "  --until DATE     only hits on or before DATE (YYYY-MM-DD)\n"
    "  --today DATE     count \"today\" and the last 7 and 30 days back from DATE\n"
    "                   instead of the local date\n"
    "  --csv            the figures as CSV (RFC 4180)\n"
    "  --csv --hits     one CSV row per hit: counter, local time (ISO 8601, no\n"
    "                   zone), client, host, forwarded-for, referer\n"
    "  --html FILE      a page with a summary table and a chart of hits per day\n"
    "                   for each counter (Windows-1251, nothing loaded from elsewhere)\n"
    "  --settings       print the compiled data root, home page and guards\n"
    "  --help           print this text\n"
    "\n"
    "Lines that are not hits (torn, blank, noise, another layout) are counted and\n"
    "reported in one line on standard error (at the end of the text report),\n"
    "never shown. Exit status: 0 done, 1 a directory, log or FILE could not be\n"
    "read or written, 2 a mistake on the command line.\n";

namespace {
enum class Takes { kNothing, kText, kDate };

struct KnownOption {
  std::string_view name;
  Takes takes;
};

constexpr KnownOption kOptions[] = {
    {"--counter", Takes::kText}, {"--since", Takes::kDate},  {"--until", Takes::kDate},
    {"--today", Takes::kDate},   {"--csv", Takes::kNothing}, {"--hits", Takes::kNothing},
    {"--html", Takes::kText},    {"--settings", Takes::kNothing},
    {"--help", Takes::kNothing},
};

void Apply(std::string_view name, const std::string& value, const date& day, Options* options) {
  if (name == "--counter") options->counter = value;
  if (name == "--since") options->since = day;
  if (name == "--until") options->until = day;
  if (name == "--today") options->today = day;
  if (name == "--csv") options->csv = true;
  if (name == "--hits") options->hits = true;
  if (name == "--html") options->html_file = value;
  if (name == "--settings") options->settings = true;
  if (name == "--help") options->help = true;
}

const KnownOption* Find(std::string_view name) {
  for (const KnownOption& known : kOptions)
    if (known.name == name) return &known;
  return nullptr;
}
}  // namespace

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_end || arg.size() < 2 || arg.substr(0, 2) != "--") {
      options->directories.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::size_t equals = arg.find('=');
    std::string_view name = arg.substr(0, equals);
    const KnownOption* known = Find(name);
    if (known == nullptr) {
      *error = "unknown option " + std::string(name);
      return false;
    }
    std::string value;
    if (known->takes == Takes::kNothing) {
      if (equals != std::string_view::npos) {
        *error = std::string(name) + " takes no value";
        return false;
      }
    } else if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      *error = std::string(name) + " needs a value";
      return false;
    }
    date day{};
    if (known->takes == Takes::kDate && !ParseIsoDate(value, &day)) {
      *error = std::string(name) + " needs a date as YYYY-MM-DD, not '" + value + "'";
      return false;
    }
    Apply(name, value, day, options);
  }
  if (options->hits && !options->csv) {
    *error = "--hits goes with --csv";
    return false;
  }
  if (options->csv && options->html_file) {
    *error = "--csv and --html cannot be given together";
    return false;
  }
  if (options->since && options->until && DayNumber(*options->since) > DayNumber(*options->until)) {
    *error = "--since is after --until";
    return false;
  }
  return true;
}
