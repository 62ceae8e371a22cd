#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/counter/counter_test.h"

namespace {

using counter_test::Counters;
using counter_test::Hit;
using counter_test::HitTail;
using counter_test::Literal;
using harness::ListDir;
using harness::ReadFile;

const std::string kHome = std::string("Location: ") + KORVELIN_TEST_HOME + "\n\n";

class CounterTest : public counter_test::FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    harness::ResetDataRoot();
  }

  static std::string JournalText() {
    return ReadFile(harness::DataRoot() + "allerror/counter.txt");
  }
  static std::vector<std::string> LogFiles() { return ListDir(Counters()); }
};

TEST_P(CounterTest, ResponsesAndLogFiles) {
  const std::string a900(900, 'a'), c99(99, 'c'), n60(60, 'n');
  const struct {
    std::string query;
    std::string response;
    std::vector<std::string> logs;  // files in counters/ afterwards
  } cases[] = {
      {"http://example.com/+home", "Location: http://example.com/\n\n", {"home.log"}},
      {"", kHome, {}},
      {a900 + "+" + c99, "Location: " + a900 + "\n\n", {std::string(50, 'c') + ".log"}},
      {a900 + "+" + c99 + "c", kHome, {}},                     // 1001 bytes
      {"http://example.com/a?b=1", "Location: http://example.com/a?b=1\n\n", {}},  // no plus
      {"+home", kHome, {"home.log"}},                           // empty target: counted, sent home
      {"http://x/+", "Location: http://x/\n\n", {".log"}},      // empty counter name
      {"t+a+b", "Location: t\n\n", {"a+b.log"}},                // the first plus splits
      {"t+" + n60, "Location: t\n\n", {std::string(50, 'n') + ".log"}},
      {"http://x/%2B+c%41", "Location: http://x/%2B\n\n", {"c%41.log"}},  // nothing is decoded
      {"t+..", "Location: t\n\n", {"...log"}},                 // dots alone stay inside
  };
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    harness::ProcessResult result = Hit(c.query);
    EXPECT_EQ(result.exit_status, 0) << c.query;
    EXPECT_EQ(result.out, c.response) << c.query;
    EXPECT_EQ(LogFiles(), c.logs) << c.query;
    EXPECT_EQ(JournalText(), "") << c.query;
  }
}

TEST_P(CounterTest, AbsentQueryGoesHome) {
  harness::ProcessResult result = counter_test::Run({"SCRIPT_NAME=/cgi-bin/counter.cgi"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, kHome);
  EXPECT_TRUE(LogFiles().empty());
}

TEST_P(CounterTest, HitLineLayout) {
  Hit("t+home", {"REMOTE_ADDR=127.0.0.1", "HTTP_X_FORWARDED_FOR=10.0.0.1",
                 "HTTP_REFERER=http://ref.example/page"});
  Hit("t+home", {"REMOTE_ADDR=2001:db8:85a3::8a2e:370:7334", "REMOTE_HOST=host.example",
                 "HTTP_X_FORWARDED_FOR=", "HTTP_REFERER=http://r/"});
  Hit("t+home", {});
  std::string head = counter_test::kHitHead;
  std::regex expected(
      head + Literal(HitTail("127.0.0.1", nullptr, "10.0.0.1", "http://ref.example/page")) +
      head + Literal(HitTail("2001:db8:85a3::8a2e:370:7334", "host.example", "", "http://r/")) +
      head + Literal(HitTail(nullptr, nullptr, nullptr, nullptr)));
  std::string log = ReadFile(Counters() + "home.log");
  EXPECT_TRUE(std::regex_match(log, expected)) << log;
  // An absent host reads "(null)", nine spaces and the separating space.
  EXPECT_NE(log.find(" H:(null)          IP:"), std::string::npos);
}

// A line break inside a logged value would end the hit line early and let the
// rest pass for a hit of its own: it is written as a space.
TEST_P(CounterTest, LineBreaksInLoggedValuesStayInOneLine) {
  const std::string forged = "Date: 01.01.2026 Time: 00:00:00 A:6.6.6.6";
  Hit("t+home", {"REMOTE_ADDR=1.2.3.4\n" + forged, "REMOTE_HOST=h\r\nx",
                 "HTTP_X_FORWARDED_FOR=\n", "HTTP_REFERER=http://r/\n" + forged});
  std::string head = counter_test::kHitHead;
  std::regex expected(head + Literal(HitTail(("1.2.3.4 " + forged).c_str(), "h  x", " ",
                                             ("http://r/ " + forged).c_str())));
  std::string log = ReadFile(Counters() + "home.log");
  EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

// A hit log cut short (a disk that filled up mid-line) does not swallow the next hit:
// the new line starts with a line feed of its own.
TEST_P(CounterTest, HitAfterATornLineStartsALineOfItsOwn) {
  harness::WriteFile(Counters() + "home.log", "Date: 10.12.2026 Time: 12:00:00 A:1.2.3.4   rrrr");
  Hit("t+home");
  Hit("t+home");
  std::string head = counter_test::kHitHead;
  std::string tail = Literal(HitTail(nullptr, nullptr, nullptr, nullptr));
  std::regex expected("Date: 10\\.12\\.2026 Time: 12:00:00 A:1\\.2\\.3\\.4   rrrr\n" + head + tail +
                      head + tail);
  std::string log = ReadFile(Counters() + "home.log");
  EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

// Anyone who may read a hit log may lock it: a lock held elsewhere delays a hit
// briefly, never holds it (and every later visitor) up for good.
TEST_P(CounterTest, HitLogLockedElsewhereIsStillWritten) {
  std::string log = Counters() + "home.log";
  harness::WriteFile(log, "");
  int holder = open(log.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  harness::ProcessResult result = Hit("http://t/+home");
  close(holder);
  EXPECT_EQ(result.out, "Location: http://t/\n\n");
  std::regex expected(counter_test::kHitHead + Literal(HitTail(nullptr, nullptr, nullptr, nullptr)));
  std::string text = ReadFile(log);
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST_P(CounterTest, MissingCountersDirectoryIsJournaledAndStillRedirects) {
  harness::RemoveTree(Counters());
  harness::ProcessResult result = Hit("http://example.com/+home", {"REMOTE_ADDR=192.0.2.1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "Location: http://example.com/\n\n");
  std::regex entry("\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d\n" +
                   Literal("A=192.0.2.1  H=(null)  IP=(null)\n") +
                   Literal("Can't open file " + Counters() + "home.log (\"a\")\n\n"));
  std::string journal = JournalText();
  EXPECT_TRUE(std::regex_match(journal, entry)) << journal;
}

TEST_P(CounterTest, CounterNameWithSlashIsRefused) {
  const std::string refused[] = {"../escape", "/etc/passwd", "a/b", std::string(49, 'x') + "/"};
  for (const std::string& name : refused) {
    harness::ResetDataRoot();
    harness::ProcessResult result = Hit("http://t.example/+" + name);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, "Location: http://t.example/\n\n") << name;
    EXPECT_TRUE(LogFiles().empty()) << name;
    EXPECT_EQ(ListDir(harness::DataRoot()), (std::vector<std::string>{"allerror", "counters"}));
    std::string journal = JournalText();
    EXPECT_NE(journal.find("\nRefused counter name " + name + " (it contains a slash)\n\n"),
              std::string::npos)
        << journal;
  }
  // Only the 50 bytes that name the file count: a slash after them is harmless.
  Hit("t+" + std::string(50, 'x') + "/y");
  EXPECT_EQ(LogFiles(), std::vector<std::string>{std::string(50, 'x') + ".log"});
}

TEST_P(CounterTest, LineBreakInQueryCannotInjectHeaders) {
  const std::string queries[] = {"http://a/\r\nSet-Cookie: x=1+c", "http://a/+c\nX: y",
                                 "\n", "http://a/\r+c"};
  for (const std::string& query : queries) {
    harness::ProcessResult result = Hit(query);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, kHome);
    EXPECT_TRUE(LogFiles().empty());
  }
}

// A hit log that is not a regular file (a device, a named pipe nobody reads) is
// refused at once rather than written to or waited on.
TEST_P(CounterTest, HitLogThatIsNotARegularFileIsRefused) {
  ASSERT_EQ(symlink("/dev/full", (Counters() + "full.log").c_str()), 0);
  ASSERT_EQ(mkfifo((Counters() + "fifo.log").c_str(), 0666), 0);
  for (const char* name : {"full", "fifo"}) {
    harness::ProcessResult result = Hit(std::string("http://t/+") + name);
    EXPECT_EQ(result.exit_status, 0) << name;
    EXPECT_EQ(result.out, "Location: http://t/\n\n") << name;
    EXPECT_NE(JournalText().find("\nCan't open file " + Counters() + name + ".log (\"a\")\n\n"),
              std::string::npos)
        << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Fronts, CounterTest, ::testing::ValuesIn(counter_test::Fronts()),
                         counter_test::FrontName);

}  // namespace
