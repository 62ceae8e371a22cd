// A hit log on a disk that fills up: a hit line may be cut short there, and the first
// hit after space is freed must still be a whole line of its own.
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "tests/counter/counter_test.h"

namespace {

using counter_test::Counters;

constexpr int kSkipped = 77;

// In a child with a mount namespace of its own, so the small disk is seen by nobody
// else and goes away with the child: counters/ becomes a 64 KiB tmpfs, a filler takes
// part of it, hits with long referers fill the rest, the filler is removed, one more
// hit. The log before and after that hit is copied to dir.
void FillTheDiskInAChild(const std::string& dir) {
  auto give_up = [&dir](const std::string& why) {
    harness::WriteFile(dir + "/skipped", why + ": " + strerror(errno));
    _exit(kSkipped);
  };
  if (unshare(CLONE_NEWNS) != 0) give_up("no private mount namespace (needs root)");
  if (mount("none", "/", "none", MS_REC | MS_PRIVATE, nullptr) != 0)
    give_up("mount --make-rprivate /");
  if (mount("tmpfs", Counters().c_str(), "tmpfs", 0, "size=64k,mode=0777") != 0)
    give_up("no tmpfs on " + Counters());
  harness::WriteFile(Counters() + "filler", std::string(24 * 1024, 'f'));
  const std::string referer = "HTTP_REFERER=http://r/" + std::string(6000, 'r');
  for (int hit = 0; hit < 20; ++hit) counter_test::Hit("http://t/+full", {referer});
  std::string log = Counters() + "full.log";
  harness::WriteFile(dir + "/before", harness::ReadFile(log));
  unlink((Counters() + "filler").c_str());
  counter_test::Hit("http://t/+full", {"HTTP_REFERER=http://after/"});
  harness::WriteFile(dir + "/after", harness::ReadFile(log));
  _exit(0);
}

TEST(CounterFullDisk, HitAfterTheDiskFilledUpIsAWholeLine) {
  harness::ResetDataRoot();
  std::string dir = harness::ScratchDir("full-disk");
  pid_t child = fork();
  if (child == 0) FillTheDiskInAChild(dir);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died of a signal";
  if (WEXITSTATUS(status) == kSkipped) GTEST_SKIP() << harness::ReadFile(dir + "/skipped");
  ASSERT_EQ(WEXITSTATUS(status), 0);

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
