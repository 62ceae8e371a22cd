#include "report/hit_line.h"

#include <cstring>

#include "report/days.h"

namespace {
// "Date: DD.MM.YYYY Time: HH:MM:SS A:" and the places of the texts and numbers in it.
constexpr char kDateLabel[] = "Date: ";
constexpr std::size_t kDayAt = 6, kMonthAt = 9, kYearAt = 12;
constexpr char kTimeLabel[] = " Time: ";
constexpr std::size_t kTimeLabelAt = 16;
constexpr std::size_t kHourAt = 23, kMinuteAt = 26, kSecondAt = 29;
constexpr char kClientLabel[] = " A:";
constexpr std::size_t kClientLabelAt = 31;
constexpr std::size_t kClientAt = 34;
constexpr char kHostLabel[] = " H:";
constexpr char kForwardedLabel[] = " IP:";
constexpr char kRefererLabel[] = " FROM:";

// No clock stamps a hit before 1970; the library's calendar holds to 2099. A
// line dated outside could only be forged, and would stretch every chart
// across centuries of empty days.
constexpr int kFirstYear = 1970, kLastYear = 2099;

// The counter pads the A, H and IP values to at least this width.
constexpr std::size_t kPadWidth = 15;

std::string_view TrimPadding(std::string_view value) {
  std::size_t end = value.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : value.substr(0, end + 1);
}

// True when line holds the label's bytes at at. The labels are constants, so
// the comparison unrolls into a few byte tests instead of a call.
template <std::size_t N>
bool LabelAt(std::string_view line, std::size_t at, const char (&label)[N]) {
  constexpr std::size_t length = N - 1;
  if (at > line.size() || line.size() - at < length) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (line[at + i] != label[i]) return false;
  return true;
}

// The first place of label (" X:") in line from start on. A value is mostly
// no longer than the padding, so the label mostly sits right at start; else the
// search runs on the label's letter, not on its space, which padding repeats.
template <std::size_t N>
std::size_t FindLabel(std::string_view line, std::size_t start, const char (&label)[N]) {
  if (LabelAt(line, start, label)) return start;
  for (std::size_t at = start + 1; at < line.size(); ++at) {
    const void* found = memchr(line.data() + at, label[1], line.size() - at);
    if (found == nullptr) return std::string_view::npos;
    at = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
    if (LabelAt(line, at - 1, label)) return at - 1;
  }
  return std::string_view::npos;
}

// Finds the padded value starting at start and ending before label; the label
// cannot start before the padding ends. Sets *next to the byte after the label.
template <std::size_t N>
bool PaddedValue(std::string_view line, std::size_t start, const char (&label)[N],
                 std::string_view* value, std::size_t* next) {
  std::size_t at = FindLabel(line, start + kPadWidth, label);
  if (at == std::string_view::npos) return false;
  *value = TrimPadding(line.substr(start, at - start));
  *next = at + N - 1;
  return true;
}

bool At(std::string_view line, std::size_t at, char c) { return line[at] == c; }
}  // namespace

bool Absent(std::string_view value) { return value.empty() || value == "(null)"; }

bool HitParser::Parse(std::string_view line, Hit* hit) {
  if (!LabelAt(line, 0, kDateLabel) || !LabelAt(line, kTimeLabelAt, kTimeLabel) ||
      !LabelAt(line, kClientLabelAt, kClientLabel) ||
      !At(line, kMonthAt - 1, '.') || !At(line, kYearAt - 1, '.') ||
      !At(line, kMinuteAt - 1, ':') || !At(line, kSecondAt - 1, ':')) {
    return false;
  }
  const char* date_text = line.data() + kDayAt;
  if (memcmp(date_text, cached_date_, sizeof cached_date_) != 0) {
    int day = ParseDigits(line.substr(kDayAt), 2);
    int month = ParseDigits(line.substr(kMonthAt), 2);
    int year = ParseDigits(line.substr(kYearAt), 4);
    if (year < kFirstYear || year > kLastYear || !ValidDate(year, month, day)) return false;
    cached_record_ = date{year, static_cast<signed char>(day), static_cast<signed char>(month)};
    cached_day_ = DayNumber(cached_record_);
    memcpy(cached_date_, date_text, sizeof cached_date_);
  }
  int hour = ParseDigits(line.substr(kHourAt), 2);
  int minute = ParseDigits(line.substr(kMinuteAt), 2);
  int second = ParseDigits(line.substr(kSecondAt), 2);
  // A leap second reads as second 60.
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) return false;

  std::size_t next = 0;
  if (!PaddedValue(line, kClientAt, kHostLabel, &hit->client, &next) ||
      !PaddedValue(line, next, kForwardedLabel, &hit->host, &next) ||
      !PaddedValue(line, next, kRefererLabel, &hit->forwarded, &next)) {
    return false;
  }
  hit->referer = line.substr(next);
  hit->day_date = cached_record_;
  hit->day = cached_day_;
  hit->time = utime{static_cast<unsigned char>(minute), static_cast<unsigned char>(hour), 0,
                    static_cast<unsigned char>(second)};
  hit->second = (hour * 60 + minute) * 60 + second;
  return true;
}
