// The report as CSV (RFC 4180: CRLF line ends, fields quoted where needed).
#ifndef KORVELIN_REPORT_CSV_REPORT_H
#define KORVELIN_REPORT_CSV_REPORT_H

#include <cstdio>
#include <string>

#include "report/report_input.h"
#include "report/tally.h"

// One row per counter; with --counter, one row per day of that counter.
std::string CsvReport(const ReportInput& input);

// One row per hit, written as the logs are read.
class CsvHitWriter : public HitSink {
 public:
  explicit CsvHitWriter(FILE* out);
  ~CsvHitWriter() override;
  void BeginLog(const std::string& counter) override;
  void Add(const Hit& hit) override;
  // Writes what is buffered; false when the output failed.
  bool Flush();

 private:
  FILE* out_;
  std::string buffer_;
  std::string counter_field_;
  bool failed_ = false;
};

#endif
