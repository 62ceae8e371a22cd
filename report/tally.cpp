#include "report/tally.h"

#include <algorithm>

namespace {
constexpr std::string_view kNoReferer = "(none)";
constexpr std::string_view kNoHost = "(not a web address)";
constexpr std::string_view kSchemeEnd = "://";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string_view RefererSite(std::string_view referer, std::string* scratch) {
  if (Absent(referer)) return kNoReferer;
  std::size_t scheme_end = referer.find(kSchemeEnd);
  if (scheme_end == std::string_view::npos || scheme_end == 0) return kNoHost;
  std::string_view authority = referer.substr(scheme_end + kSchemeEnd.size());
  authority = authority.substr(0, authority.find_first_of("/?#"));
  std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::string_view host = authority;
  if (!host.empty() && host.front() == '[') {
    host = host.substr(0, host.find(']') + 1);  // an IPv6 address keeps its colons
  } else {
    host = host.substr(0, host.find(':'));
  }
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  if (host.empty()) return kNoHost;
  scratch->assign(host);
  std::transform(scratch->begin(), scratch->end(), scratch->begin(), Lower);
  return *scratch;
}

uint64_t CounterFigures::HitsBetween(int first_day, int last_day) const {
  uint64_t sum = 0;
  for (auto it = days.lower_bound(first_day); it != days.end() && it->first <= last_day; ++it)
    sum += it->second;
  return sum;
}

std::vector<std::pair<std::string, uint64_t>> CounterFigures::TopSites(std::size_t limit) const {
  std::vector<std::pair<std::string, uint64_t>> top(sites.begin(), sites.end());
  auto more_hits = [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  };
  std::size_t kept = std::min(limit, top.size());
  std::partial_sort(top.begin(), top.begin() + static_cast<std::ptrdiff_t>(kept), top.end(), more_hits);
  top.resize(kept);
  return top;
}

void Tally::BeginLog(const std::string& counter) {
  current_ = &counters_[counter];
  current_day_hits_ = nullptr;
}

void Tally::Add(const Hit& hit) {
  CounterFigures& figures = *current_;
  if (current_day_hits_ == nullptr || current_day_ != hit.day) {
    current_day_ = hit.day;
    current_day_hits_ = &figures.days[hit.day];  // map nodes never move
  }
  ++*current_day_hits_;

  Moment moment{hit.day_date, hit.time, int64_t{hit.day} * 86400 + hit.second};
  if (figures.hits == 0 || moment.order < figures.first.order) figures.first = moment;
  if (figures.hits == 0 || moment.order >= figures.last.order) figures.last = moment;
  ++figures.hits;

  if (!Absent(hit.client) && figures.clients.find(hit.client) == figures.clients.end())
    figures.clients.emplace(hit.client);

  std::string_view site = RefererSite(hit.referer, &site_scratch_);
  auto known = figures.sites.find(site);
  if (known != figures.sites.end())
    ++known->second;
  else
    figures.sites.emplace(site, 1);
}
