// counter-report's reading of one hit-log line, on any bytes: the line is held
// in a block of exactly its size, so a read past it stops the run. A line taken
// as a hit has the hit's layout, every field lies inside the line in order,
// padding is gone, and its referring site and client go into a tally.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/common.h"
#include "report/hit_line.h"
#include "report/tally.h"

namespace {
bool Inside(std::string_view part, std::string_view line) {
  return part.empty() || (part.data() >= line.data() && part.data() + part.size() <= line.data() + line.size());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Block block(size);
  if (size > 0) memcpy(block.data(), data, size);
  std::string_view line(block.data(), size);
  HitParser parser;
  Hit hit;
  if (!parser.Parse(line, &hit)) return 0;
  FUZZ_CHECK(line.substr(0, 6) == "Date: ");
  FUZZ_CHECK(hit.second >= 0 && hit.second <= 86400);
  for (std::string_view field : {hit.client, hit.host, hit.forwarded, hit.referer}) FUZZ_CHECK(Inside(field, line));
  for (std::string_view padded : {hit.client, hit.host, hit.forwarded})
    FUZZ_CHECK(padded.empty() || padded.back() != ' ');
  FUZZ_CHECK(hit.referer.data() + hit.referer.size() == line.data() + line.size());
  FUZZ_CHECK(hit.client.empty() || hit.client.data() < hit.host.data() || hit.host.empty());

  // The same line twice: the second reading comes from the date kept by the first.
  Hit again;
  FUZZ_CHECK(parser.Parse(line, &again) && again.day == hit.day && again.second == hit.second);

  Tally tally;
  tally.BeginLog("fuzz");
  tally.Add(hit);
  const CounterFigures& figures = tally.counters().at("fuzz");
  FUZZ_CHECK(figures.hits == 1 && figures.sites.size() == 1 && figures.clients.size() <= 1);
  std::string scratch;
  std::string_view site = RefererSite(hit.referer, &scratch);
  FUZZ_CHECK(!site.empty() && figures.sites.count(std::string(site)) == 1);
  return 0;
}
