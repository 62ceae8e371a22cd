// A hit log on a disk that fills up: a hit line may be cut short there, and the first
// hit after space is freed must still be a whole line of its own.
#include <unistd.h>

#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "tests/common/small_disk.h"
#include "tests/counter/counter_test.h"

namespace {

using counter_test::Counters;

// Hits with long referers fill a 64 KiB counters/ (part of it taken by a filler), the
// filler is removed, one more hit. The log before and after that hit is copied to dir.
int FillTheDiskWithHits(const std::string& dir) {
  harness::WriteFile(Counters() + "filler", std::string(24 * 1024, 'f'));
  const std::string referer = "HTTP_REFERER=http://r/" + std::string(6000, 'r');
  for (int hit = 0; hit < 20; ++hit) counter_test::Hit("http://t/+full", {referer});
  std::string log = Counters() + "full.log";
  harness::WriteFile(dir + "/before", harness::ReadFile(log));
  unlink((Counters() + "filler").c_str());
  counter_test::Hit("http://t/+full", {"HTTP_REFERER=http://after/"});
  harness::WriteFile(dir + "/after", harness::ReadFile(log));
  return 0;
}

TEST(CounterFullDisk, HitAfterTheDiskFilledUpIsAWholeLine) {
  harness::ResetDataRoot();
  std::string dir = harness::ScratchDir("full-disk");
  // The counter may run as another user: anyone may write on the small disk.
  int status = small_disk::RunOnSmallDisk(Counters(), "mode=0777",
                                          [&dir] { return FillTheDiskWithHits(dir); });
  if (status == small_disk::kUnavailable) GTEST_SKIP() << "no private mount namespace for a small tmpfs";
  ASSERT_EQ(status, 0);

  std::string before = harness::ReadFile(dir + "/before");
  std::string after = harness::ReadFile(dir + "/after");
  ASSERT_FALSE(before.empty());
  ASSERT_NE(before.back(), '\n') << "the disk filled up between lines: nothing was torn";
  ASSERT_EQ(after.compare(0, before.size(), before), 0);
  std::regex whole_line("\n" + std::string(counter_test::kHitHead) +
                        counter_test::Literal(counter_test::HitTail(nullptr, nullptr, nullptr,
                                                                    "http://after/")));
  EXPECT_TRUE(std::regex_match(after.substr(before.size()), whole_line))
      << after.substr(before.size());
}

}  // namespace
