#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/counter/counter_test.h"

namespace {

// Eight visitors at once, each with a 5,000-byte referer: longer than any stdio
// buffer, so a line written in pieces would be torn apart by the others.
class CounterConcurrency : public counter_test::FrontTest {};

TEST_P(CounterConcurrency, EveryHitIsOneWholeLine) {
  harness::ResetDataRoot();
  constexpr int kProcesses = 8;
  constexpr int kHits = 200;
  std::vector<std::thread> visitors;
  std::vector<int> failures(kProcesses, 0);
  for (int p = 0; p < kProcesses; ++p) {
    visitors.emplace_back([p, &failures] {
      std::string referer = "http://r" + std::to_string(p) + "/" + std::string(5000, 'a' + p);
      for (int i = 0; i < kHits; ++i) {
        harness::ProcessResult result =
            counter_test::Hit("http://t/+busy", {"HTTP_REFERER=" + referer});
        if (result.exit_status != 0 || result.out != "Location: http://t/\n\n") ++failures[p];
      }
    });
  }
  for (std::thread& visitor : visitors) visitor.join();
  for (int p = 0; p < kProcesses; ++p) EXPECT_EQ(failures[p], 0) << "visitor " << p;

  std::istringstream log(harness::ReadFile(counter_test::Counters() + "busy.log"));
  std::regex layout(std::string(counter_test::kHitHead) +
                    "A:\\(null\\)          H:\\(null\\)          IP:\\(null\\)          "
                    "FROM:http://r([0-7])/([a-h]{5000})");
  std::map<int, int> lines_per_visitor;
  std::string line;
  int lines = 0;
  while (std::getline(log, line)) {
    ++lines;
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, layout)) << "torn line " << lines;
    int p = std::stoi(match[1]);
    ASSERT_EQ(match[2].str(), std::string(5000, 'a' + p)) << "mixed line " << lines;
    ++lines_per_visitor[p];
  }
  EXPECT_EQ(lines, kProcesses * kHits);
  for (int p = 0; p < kProcesses; ++p) EXPECT_EQ(lines_per_visitor[p], kHits);
  EXPECT_EQ(harness::ReadFile(harness::DataRoot() + "allerror/counter.txt"), "");
}

INSTANTIATE_TEST_SUITE_P(Fronts, CounterConcurrency, ::testing::ValuesIn(counter_test::Fronts()),
                         counter_test::FrontName);

}  // namespace
