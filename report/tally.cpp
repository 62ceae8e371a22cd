#include "report/tally.h"

#include <algorithm>

namespace {
constexpr std::string_view kNoReferer = "(none)";
constexpr std::string_view kNoHost = "(not a web address)";
constexpr std::string_view kSchemeEnd = "://";

bool EndsAuthority(char c) { return c == '/' || c == '?' || c == '#'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string_view RefererSite(std::string_view referer, std::string* scratch) {
  if (Absent(referer)) return kNoReferer;
  std::size_t scheme_end = referer.find(kSchemeEnd);
  if (scheme_end == std::string_view::npos || scheme_end == 0) return kNoHost;
  // One pass over the authority: where it ends, the user part ends, the port
  // starts, and whether any letter needs lowering.
  const char* begin = referer.data() + scheme_end + kSchemeEnd.size();
  const char* end = referer.data() + referer.size();
  const char* host = begin;
  const char* port = nullptr;
  bool upper = false;
  const char* at = begin;
  for (; at < end && !EndsAuthority(*at); ++at) {
    if (*at == '@') {
      host = at + 1;
      port = nullptr;
      upper = false;
    } else if (*at == ':' && *host != '[') {
      if (port == nullptr) port = at;  // an IPv6 address in brackets keeps its colons
    } else if (*at >= 'A' && *at <= 'Z') {
      upper = true;
    }
  }
  std::string_view site(host, static_cast<std::size_t>((port != nullptr ? port : at) - host));
  if (!site.empty() && site.front() == '[') site = site.substr(0, site.find(']') + 1);
  while (!site.empty() && site.back() == '.') site.remove_suffix(1);
  if (site.empty()) return kNoHost;
  if (!upper) return site;
  scratch->assign(site);
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

  if (!Absent(hit.client)) figures.clients.Insert(hit.client);

  std::string_view site = RefererSite(hit.referer, &site_scratch_);
  auto known = figures.sites.find(site);
  if (known != figures.sites.end())
    ++known->second;
  else
    figures.sites.emplace(site, 1);
}
