// Faults around the counter's files: hit logs and journals that cannot be opened or
// written. Whatever fails, the visitor gets the redirect, the exit status is 0, what can
// still be journaled is, and nothing is written anywhere else.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "korvelin/support/journal.h"
#include "tests/counter/counter_test.h"

namespace {

using counter_test::Counters;
using harness::DataRoot;
using harness::ProcessResult;

const std::string kQuery = "http://t.example/+home";
const std::string kRedirect = "Location: http://t.example/\n\n";

std::string Allerror() { return DataRoot() + "allerror/"; }
std::string JournalFile() { return Allerror() + "counter.txt"; }
std::string HitLog() { return Counters() + "home.log"; }

// Every path under dir relative to the data root, directories ending in a slash.
std::vector<std::string> Tree(const std::string& dir = "") {
  std::vector<std::string> paths;
  for (const std::string& name : harness::ListDir(DataRoot() + dir)) {
    std::string path = dir + name;
    struct stat st;
    bool is_dir = lstat((DataRoot() + path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    paths.push_back(is_dir ? path + "/" : path);
    if (is_dir)
      for (const std::string& inner : Tree(path + "/")) paths.push_back(inner);
  }
  return paths;
}

// The journal text that reports the hit log at path as impossible to open.
std::string CantOpen(const std::string& path) {
  return "\nCan't open file " + path + " (\"a\")\n\n";
}

void ExpectRedirected(const ProcessResult& result, const std::string& what) {
  EXPECT_EQ(result.exit_status, 0) << what;
  EXPECT_EQ(result.out, kRedirect) << what;
}

class CounterFaults : public counter_test::FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    harness::ResetDataRoot();
  }
};

TEST_P(CounterFaults, HitLogThatIsADirectoryIsJournaled) {
  ASSERT_EQ(mkdir(HitLog().c_str(), 0755), 0);
  ExpectRedirected(counter_test::Hit(kQuery), "hit log is a directory");
  EXPECT_NE(harness::ReadFile(JournalFile()).find(CantOpen(HitLog())), std::string::npos);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"allerror/", "allerror/counter.txt", "counters/",
                                              "counters/home.log/"}));
}

// Without the allerror directory a failure goes unrecorded, but a hit that can be
// logged still is, and no journal turns up anywhere else.
TEST_P(CounterFaults, WithoutAllerrorTheVisitorIsStillRedirected) {
  const struct {
    const char* what;
    std::string query;
    void (*setup)();
    std::vector<std::string> tree;  // the data root afterwards
  } cases[] = {
      {"hit logged", kQuery, [] {}, {"counters/", "counters/home.log"}},
      {"counters missing", kQuery, [] { harness::RemoveTree(Counters()); }, {}},
      {"hit log is a directory", kQuery, [] { mkdir(HitLog().c_str(), 0755); },
       {"counters/", "counters/home.log/"}},
      {"hit log on a full disk", kQuery,
       [] { symlink("/dev/full", HitLog().c_str()); }, {"counters/", "counters/home.log"}},
      {"counter name refused", "http://t.example/+../home", [] {}, {"counters/"}},
  };
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    harness::RemoveTree(Allerror());
    c.setup();
    ExpectRedirected(counter_test::Hit(c.query), c.what);
    EXPECT_EQ(Tree(), c.tree) << c.what;
  }
}

// Ways the journal can be impossible to write.
const struct JournalFault {
  const char* what;
  void (*setup)();
} kJournalFaults[] = {
    {"allerror is a file",
     [] {
       harness::RemoveTree(Allerror());
       harness::WriteFile(DataRoot() + "allerror", "x");
     }},
    {"journal is a directory", [] { mkdir(JournalFile().c_str(), 0755); }},
    {"journal on a full disk", [] { symlink("/dev/full", JournalFile().c_str()); }},
};

// A journal that cannot be written, with a hit that cannot be logged: the redirect only.
TEST_P(CounterFaults, UnusableJournalIsSilent) {
  for (const JournalFault& fault : kJournalFaults) {
    harness::ResetDataRoot();
    harness::RemoveTree(Counters());
    fault.setup();
    std::vector<std::string> before = Tree();
    ExpectRedirected(counter_test::Hit(kQuery), fault.what);
    EXPECT_EQ(Tree(), before) << fault.what;
  }
}

TEST(JournalFaults, JournalThatCannotBeWrittenFailsQuietly) {
  harness::ScopedEnv env;
  env.Set("SCRIPT_NAME", "/cgi-bin/counter.cgi");
  for (const JournalFault& fault : kJournalFaults) {
    harness::ResetDataRoot();
    fault.setup();
    EXPECT_EQ(SaveError("m"), 0) << fault.what;
    EXPECT_EQ(MallocMemory(-1), nullptr) << fault.what;
  }
}

// Runs the counter as an unprivileged user, so directory and file permissions hold for
// it (the suite may run as root, which they do not stop). As root the program is started
// through setpriv as the user "nobody"; any other user is unprivileged already.
class UnprivilegedCounter : public ::testing::Test {
 protected:
  static constexpr const char* kSetpriv = "/usr/bin/setpriv";

  void SetUp() override {
    harness::ResetDataRoot();
    if (geteuid() != 0) return;
    if (!harness::Exists(kSetpriv)) GTEST_SKIP() << "running as root without " << kSetpriv;
    program_ = harness::ScratchDir("unprivileged") + "/counter-as-nobody";
    harness::WriteFile(program_, std::string("#!/bin/sh\nexec ") + kSetpriv +
                                     " --reuid=65534 --regid=65534 --clear-groups " +
                                     KORVELIN_TEST_COUNTER + "\n");
    chmod(program_.c_str(), 0755);
    // Every directory from / down to the program and the data root must be searchable
    // by that user; a build tree in a private directory is not, and the tests then skip.
    chmod(Counters().c_str(), 0777);
    ProcessResult probe = Hit(kQuery);
    if (probe.out != kRedirect || !harness::Exists(HitLog()))
      GTEST_SKIP() << "user 65534 cannot run " << KORVELIN_TEST_COUNTER << " or write under "
                   << DataRoot();
    harness::ResetDataRoot();
  }

  ProcessResult Hit(const std::string& query) {
    std::vector<std::string> env{"QUERY_STRING=" + query, "SCRIPT_NAME=/cgi-bin/counter.cgi",
                                 "REMOTE_ADDR=192.0.2.9"};
    return program_.empty() ? harness::RunCounter(env) : harness::Run(program_, env);
  }

  std::string program_;  // empty when the tests themselves run unprivileged
};

INSTANTIATE_TEST_SUITE_P(Fronts, CounterFaults, ::testing::ValuesIn(counter_test::Fronts()),
                         counter_test::FrontName);

TEST_F(UnprivilegedCounter, CountersDirectoryItMayNotWrite) {
  chmod(Counters().c_str(), 0555);
  chmod(Allerror().c_str(), 0777);
  ExpectRedirected(Hit(kQuery), "counters read-only");
  EXPECT_NE(harness::ReadFile(JournalFile()).find(CantOpen(HitLog())), std::string::npos);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"allerror/", "allerror/counter.txt", "counters/"}));
}

TEST_F(UnprivilegedCounter, HitLogItMayNotWrite) {
  harness::WriteFile(HitLog(), "earlier hits\n");
  chmod(HitLog().c_str(), 0444);
  chmod(Counters().c_str(), 0777);
  chmod(Allerror().c_str(), 0777);
  ExpectRedirected(Hit(kQuery), "hit log read-only");
  EXPECT_EQ(harness::ReadFile(HitLog()), "earlier hits\n");
  EXPECT_NE(harness::ReadFile(JournalFile()).find(CantOpen(HitLog())), std::string::npos);
}

TEST_F(UnprivilegedCounter, NeitherDirectoryWritable) {
  chmod(Counters().c_str(), 0555);
  chmod(Allerror().c_str(), 0555);
  ExpectRedirected(Hit(kQuery), "counters and allerror read-only");
  ExpectRedirected(Hit("http://t.example/+a/b"), "refused name, allerror read-only");
  EXPECT_EQ(Tree(), (std::vector<std::string>{"allerror/", "counters/"}));
}

}  // namespace
