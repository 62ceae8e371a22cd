#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "korvelin/support/journal.h"
#include "tests/common/harness.h"

namespace {

std::string Journal(const std::string& name) {
  return harness::ReadFile(harness::DataRoot() + "allerror/" + name);
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
