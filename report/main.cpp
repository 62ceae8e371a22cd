// counter-report: what the counters' hit logs say, as text, CSV or an HTML page.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "report/csv_report.h"
#include "report/days.h"
#include "report/hit_logs.h"
#include "report/html_report.h"
#include "report/options.h"
#include "report/settings.h"
#include "report/text_report.h"

namespace {
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int Fail(const std::string& message) {
  fprintf(stderr, "counter-report: %s\n", message.c_str());
  return kFailed;
}

bool WriteOut(FILE* out, const std::string& text) {
  return fwrite(text.data(), 1, text.size(), out) == text.size() && fflush(out) == 0;
}

bool WriteFile(const std::string& path, const std::string& text, std::string* error) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + strerror(errno);
    return false;
  }
  bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
  if (fclose(file) != 0 || !written) {
    *error = "cannot write " + path + ": " + strerror(errno);
    return false;
  }
  return true;
}

ReadScope ScopeOf(const Options& options) {
  ReadScope scope;
  if (options.since) scope.since_day = DayNumber(*options.since);
  if (options.until) scope.until_day = DayNumber(*options.until);
  if (options.counter) {
    scope.one_counter = true;
    scope.counter = *options.counter;
  }
  return scope;
}

// Reads the logs into sink, or into tally when there is no sink; false after
// reporting a failure.
bool Read(const Options& options, const std::vector<std::string>& directories, HitSink* sink,
          Tally* tally, ReadSummary* summary) {
  std::string error;
  bool read = sink != nullptr
                  ? ReadHitLogs(directories, ScopeOf(options), sink, summary, &error)
                  : TallyHitLogs(directories, ScopeOf(options), std::thread::hardware_concurrency(),
                                 tally, summary, &error);
  if (!read) {
    Fail(error);
    return false;
  }
  if (options.counter && summary->logs == 0) {
    Fail("no hit log of counter " + *options.counter);
    return false;
  }
  return true;
}

int Run(const Options& options) {
  std::vector<std::string> directories = options.directories;
  if (directories.empty()) directories.push_back(DefaultCountersDirectory());
  ReadSummary summary;
  std::string skipped;

  if (options.hits) {
    CsvHitWriter writer(stdout);
    if (!Read(options, directories, &writer, nullptr, &summary)) return kFailed;
    if (!writer.Flush()) return Fail(std::string("cannot write the report: ") + strerror(errno));
    skipped = summary.SkippedLine();
    if (!skipped.empty()) fprintf(stderr, "counter-report: %s\n", skipped.c_str());
    return 0;
  }

  Tally tally;
  if (!Read(options, directories, nullptr, &tally, &summary)) return kFailed;
  date today{};
  if (options.today)
    today = *options.today;
  else
    getdate(&today);
  ReportInput input{options, directories, tally, summary, today, DayNumber(today)};
  skipped = summary.SkippedLine();
  std::string error;
  if (options.html_file) {
    if (!WriteFile(*options.html_file, HtmlReport(input), &error)) return Fail(error);
  } else if (!WriteOut(stdout, options.csv ? CsvReport(input) : TextReport(input))) {
    return Fail(std::string("cannot write the report: ") + strerror(errno));
  }
  // The text report ends with this line itself; the CSV and the page must stay clean.
  if (!skipped.empty() && (options.csv || options.html_file))
    fprintf(stderr, "counter-report: %s\n", skipped.c_str());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    fprintf(stderr, "counter-report: %s (see counter-report --help)\n", error.c_str());
    return kUsageError;
  }
  if (options.help) {
    fputs(kUsage, stdout);
    return 0;
  }
  if (options.settings) {
    fputs(SettingsText().c_str(), stdout);
    return 0;
  }
  return Run(options);
}
