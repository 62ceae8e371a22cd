#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "korvelin/support/journal.h"
#include "tests/common/harness.h"
#include "tests/common/small_disk.h"

namespace {

std::string Journal(const std::string& name) {
  return harness::ReadFile(harness::DataRoot() + "allerror/" + name);
}

// Sends this process's standard error to path until restored.
class StderrToFile {
 public:
  explicit StderrToFile(const std::string& path) {
    fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, STDERR_FILENO);
    close(fd);
  }
  ~StderrToFile() { Restore(); }
  void Restore() {
    if (saved_ < 0) return;
    fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
  }

 private:
  int saved_ = -1;
};

// An entry at any moment from the client of the fixture, with message (a regex).
std::regex Entry(const std::string& message) {
  return std::regex(
      "\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d\n"
      "A=192\\.0\\.2\\.7  H=\\(null\\)  IP=10\\.1\\.2\\.3\n" +
      message + "\n\n");
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::ResetDataRoot();
    env_.Set("SCRIPT_NAME", "/cgi-bin/counter.cgi");
    env_.Set("REMOTE_ADDR", "192.0.2.7");
    env_.Unset("REMOTE_HOST");
    env_.Set("HTTP_X_FORWARDED_FOR", "10.1.2.3");
  }
  harness::ScopedEnv env_;
};

TEST_F(JournalTest, JournalIsNamedAfterTheScript) {
  const struct {
    const char* script;
    const char* file;
  } cases[] = {
      {"/cgi-bin/counter.cgi", "counter.txt"},
      {"/cgi-bin/guestbook.cgi", "guestboo.txt"},  // at most eight characters
      {"page.cgi", "page.txt"},                    // no slash: the whole path
      {"/cgi-bin/go", "cgi-bi.txt"},               // short last part: the name comes from the directory
      {"abc", ".txt"},                             // four characters or fewer
      {"abcd", ".txt"},
      {"/x.cgi", "x.txt"},
  };
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    env_.Set("SCRIPT_NAME", c.script);
    EXPECT_EQ(SaveError("m"), 1) << c.script;
    EXPECT_EQ(harness::ListDir(harness::DataRoot() + "allerror"),
              std::vector<std::string>{c.file})
        << c.script;
  }
}

TEST_F(JournalTest, EntryHasDateTimeClientAndMessage) {
  ASSERT_EQ(SaveError("x"), 1);
  std::string entry = Journal("counter.txt");
  std::regex layout(
      "\\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d:\\d\\d\n"
      "A=192\\.0\\.2\\.7  H=\\(null\\)  IP=10\\.1\\.2\\.3\n"
      "x\n\n");
  EXPECT_TRUE(std::regex_match(entry, layout)) << entry;
}

TEST_F(JournalTest, MessagesAreWrittenWholeAndLiterally) {
  std::string long_message(20000, 'm');
  ASSERT_EQ(SaveError("two\nlines %s %n"), 1);
  ASSERT_EQ(SaveError(long_message.c_str()), 1);
  std::string journal = Journal("counter.txt");
  EXPECT_NE(journal.find("\ntwo\nlines %s %n\n\n"), std::string::npos);
  EXPECT_NE(journal.find("\n" + long_message + "\n\n"), std::string::npos);
}

// A client's value cannot end its line, nor a message hold the empty line that ends an
// entry: either would let the rest pass for an entry of its own.
TEST_F(JournalTest, LineBreaksCannotForgeAnEntry) {
  env_.Set("REMOTE_ADDR", "192.0.2.7\n\n07.03.2026, 09:05:03");
  env_.Set("REMOTE_HOST", "h\r\nA=x");
  env_.Set("HTTP_X_FORWARDED_FOR", "\n");
  ASSERT_EQ(SaveError("m"), 1);
  std::string entry = Journal("counter.txt");
  EXPECT_EQ(entry.substr(entry.find('\n') + 1),
            "A=192.0.2.7  07.03.2026, 09:05:03  H=h  A=x  IP= \nm\n\n");

  const struct {
    const char* message;
    const char* written;
  } cases[] = {
      {"two\nlines", "two\nlines"},
      {"a\n\nb", "a\n b"},
      {"a\n\n\nb", "a\n  b"},
      {"\nfirst", " first"},
      {"last\n", "last "},
      {"a\r\nb\r", "a \nb "},
      {"\n", " "},
  };
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    ASSERT_EQ(SaveError(c.message), 1);
    std::string journal = Journal("counter.txt");
    std::string tail = journal.substr(journal.find('\n', journal.find('\n') + 1) + 1);
    EXPECT_EQ(tail, std::string(c.written) + "\n\n") << testing::PrintToString(c.message);
  }
}

// A journal that is named but cannot be opened or written: the entry goes to standard
// error, which the web server keeps in its log, and the result is still 0.
TEST_F(JournalTest, UnwritableJournalGoesToStandardError) {
  const struct {
    const char* what;
    void (*setup)();
  } cases[] = {
      {"allerror missing", [] { harness::RemoveTree(harness::DataRoot() + "allerror"); }},
      {"journal is a directory", [] { mkdir((harness::DataRoot() + "allerror/counter.txt").c_str(), 0700); }},
      {"journal is a named pipe", [] { mkfifo((harness::DataRoot() + "allerror/counter.txt").c_str(), 0600); }},
  };
  std::string err = harness::ScratchDir("journal-stderr") + "/err";
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    c.setup();
    StderrToFile redirect(err);
    int saved = SaveError("lost?");
    redirect.Restore();
    EXPECT_EQ(saved, 0) << c.what;
    std::string text = harness::ReadFile(err);
    EXPECT_TRUE(std::regex_match(text, Entry("lost\\?"))) << c.what << ": " << text;
  }

  // A journal that cannot be named has no entry to write anywhere.
  env_.Unset("SCRIPT_NAME");
  StderrToFile redirect(err);
  EXPECT_EQ(SaveError("m"), 0);
  redirect.Restore();
  EXPECT_EQ(harness::ReadFile(err), "");
}

TEST_F(JournalTest, FullDiskJournalGoesToStandardError) {
  std::string err = harness::ScratchDir("journal-full") + "/err";
  int status = small_disk::RunOnFullDisk(harness::DataRoot() + "allerror", [&] {
    StderrToFile redirect(err);
    return SaveError("disk full") == 0 ? 0 : 1;
  });
  if (status == small_disk::kUnavailable) GTEST_SKIP() << "no private mount namespace for a small tmpfs";
  EXPECT_EQ(status, 0);
  std::string text = harness::ReadFile(err);
  EXPECT_TRUE(std::regex_match(text, Entry("disk full"))) << text;
}

TEST_F(JournalTest, NothingIsWrittenWithoutAJournal) {
  env_.Unset("SCRIPT_NAME");
  EXPECT_EQ(SaveError("m"), 0);
  env_.Set("SCRIPT_NAME", "");
  EXPECT_EQ(SaveError("m"), 0);
  EXPECT_TRUE(harness::ListDir(harness::DataRoot() + "allerror").empty());

  env_.Set("SCRIPT_NAME", "/cgi-bin/counter.cgi");
  harness::RemoveTree(harness::DataRoot() + "allerror");
  EXPECT_EQ(SaveError("m"), 0);
  EXPECT_FALSE(harness::Exists(harness::DataRoot() + "allerror"));
}

TEST_F(JournalTest, FailedAllocationIsJournaled) {
  EXPECT_EQ(MallocMemory(-1), nullptr);
  // "Не хватает памяти для указателя" in Windows-1251
  const std::string expected =
      "\xCD\xE5 \xF5\xE2\xE0\xF2\xE0\xE5\xF2 \xEF\xE0\xEC\xFF\xF2\xE8 \xE4\xEB\xFF "
      "\xF3\xEA\xE0\xE7\xE0\xF2\xE5\xEB\xFF (malloc(-1)=NULL)\n\n";
  std::string journal = Journal("counter.txt");
  ASSERT_GE(journal.size(), expected.size());
  EXPECT_EQ(journal.substr(journal.size() - expected.size()), expected);

  char* block = MallocMemory(16);
  ASSERT_NE(block, nullptr);
  block[15] = 'x';
  free(block);
}

}  // namespace
