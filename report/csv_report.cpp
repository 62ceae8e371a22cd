#include "report/csv_report.h"

#include "report/days.h"
#include "report/escape.h"
#include "report/figures.h"

namespace {
constexpr char kRowEnd[] = "\r\n";
constexpr std::size_t kFlushSize = 1 << 20;

void AppendNumber(std::string* out, uint64_t value) {
  out->push_back(',');
  out->append(std::to_string(value));
}

void AppendField(std::string* out, std::string_view text) {
  out->push_back(',');
  AppendCsvField(out, text);
}

// A variable the counter found unset is an empty field.
void AppendValue(std::string* out, std::string_view value) {
  AppendField(out, value == "(null)" ? std::string_view() : value);
}

void AppendSummaryRow(std::string* out, const std::string& name, const CounterFigures& figures,
                      int today) {
  RecentHits recent = CountRecent(figures, today);
  AppendCsvField(out, name);
  for (uint64_t value : {figures.hits, recent.today, recent.last_7_days, recent.last_30_days})
    AppendNumber(out, value);
  AppendField(out, figures.hits > 0 ? MomentText(figures.first, 'T') : "");
  AppendField(out, figures.hits > 0 ? MomentText(figures.last, 'T') : "");
  AppendNumber(out, figures.clients.size());
  auto top = figures.TopSites(kTopSites);
  for (std::size_t i = 0; i < kTopSites; ++i) {
    AppendField(out, i < top.size() ? top[i].first : "");
    AppendField(out, i < top.size() ? std::to_string(top[i].second) : "");
  }
  out->append(kRowEnd);
}

std::string SummaryHeader() {
  std::string header = "counter,hits,today,last_7_days,last_30_days,first_hit,last_hit,distinct_clients";
  for (std::size_t i = 1; i <= kTopSites; ++i) {
    std::string site = "site_" + std::to_string(i);
    header += "," + site + "," + site + "_hits";
  }
  return header + kRowEnd;
}
}  // namespace

std::string CsvReport(const ReportInput& input) {
  std::string out;
  if (input.options.counter) {
    out = std::string("counter,date,hits") + kRowEnd;
    for (const auto& counter : input.tally.counters()) {
      const std::string& name = counter.first;  // clang before 16 cannot capture a structured binding
      ForEachDay(counter.second, [&out, &name](const date& day, uint64_t hits) {
        AppendCsvField(&out, name);
        AppendField(&out, IsoDate(day));
        AppendNumber(&out, hits);
        out += kRowEnd;
      });
    }
    return out;
  }
  out = SummaryHeader();
  for (const auto& [name, figures] : input.tally.counters())
    AppendSummaryRow(&out, name, figures, input.today_number);
  return out;
}

CsvHitWriter::CsvHitWriter(FILE* out) : out_(out) {
  buffer_ = std::string("counter,local_time,client,host,forwarded_for,referer") + kRowEnd;
}

CsvHitWriter::~CsvHitWriter() { Flush(); }

void CsvHitWriter::BeginLog(const std::string& counter) {
  counter_field_.clear();
  AppendCsvField(&counter_field_, counter);
}

void CsvHitWriter::Add(const Hit& hit) {
  buffer_ += counter_field_;
  AppendField(&buffer_, MomentText(hit.day_date, hit.time, 'T'));
  AppendValue(&buffer_, hit.client);
  AppendValue(&buffer_, hit.host);
  AppendValue(&buffer_, hit.forwarded);
  AppendValue(&buffer_, hit.referer);
  buffer_ += kRowEnd;
  if (buffer_.size() >= kFlushSize) Flush();
}

bool CsvHitWriter::Flush() {
  if (!buffer_.empty() && fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
    failed_ = true;
  buffer_.clear();
  return !failed_ && fflush(out_) == 0;
}
