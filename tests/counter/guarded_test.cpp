// The counter built with its abuse guards on: redirects only to this site and the
// listed hosts (home.example, Site.Example), and hits only in hit logs that exist.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/counter/counter_test.h"

namespace {

using counter_test::Counters;

const std::string kHome = std::string("Location: ") + KORVELIN_TEST_HOME + "\n\n";

harness::ProcessResult GuardedHit(const std::string& query) {
  return harness::Run(KORVELIN_TEST_GUARDED_COUNTER,
                      {"QUERY_STRING=" + query, "SCRIPT_NAME=/cgi-bin/counter.cgi"});
}

TEST(GuardedCounter, FollowsOnlyThisSiteAndListedHosts) {
  const struct {
    std::string query;
    std::string location;  // empty: sent to the home page
    bool logged;
  } cases[] = {
      {"/page.html?a=1+open", "/page.html?a=1", true},
      {"/+open", "/", true},
      {"/page.html", "/page.html", false},  // no counter named
      {"http://site.example/a+open", "http://site.example/a", true},
      {"HTTPS://SITE.EXAMPLE:8443/x+open", "HTTPS://SITE.EXAMPLE:8443/x", true},
      {"http://home.example+open", "http://home.example", true},
      {"+open", "", true},  // no target: counted, sent home
      {"//evil.example/+open", "", false},
      {"/\\evil.example/+open", "", false},
      {"/\t/evil.example/+open", "", false},
      {"http://evil.example/+open", "", false},
      {"http://evil.example/", "", false},
      {"http://site.example@evil.example/+open", "", false},
      {"http://site.example.evil.example/+open", "", false},
      {"http://evil.example\\@site.example/+open", "", false},
      {"http:site.example/+open", "", false},
      {"ftp://site.example/+open", "", false},
      {"javascript:alert(1)//+open", "", false},
      {"page.html+open", "", false},
  };
  for (const auto& c : cases) {
    harness::ResetDataRoot();
    harness::WriteFile(Counters() + "open.log", "");
    harness::ProcessResult result = GuardedHit(c.query);
    EXPECT_EQ(result.exit_status, 0) << c.query;
    EXPECT_EQ(result.out, c.location.empty() ? kHome : "Location: " + c.location + "\n\n")
        << c.query;
    EXPECT_EQ(harness::ReadFile(Counters() + "open.log").empty(), !c.logged) << c.query;
    EXPECT_EQ(harness::ListDir(Counters()), std::vector<std::string>{"open.log"}) << c.query;
    EXPECT_EQ(harness::ListDir(harness::DataRoot() + "allerror"), std::vector<std::string>{})
        << c.query;
  }
}

// Only the operator opens a counter: an unknown name is redirected, creates nothing
// and journals nothing, so requests cannot fill the disk with files.
TEST(GuardedCounter, UnknownCounterCreatesNothing) {
  harness::ResetDataRoot();
  harness::ProcessResult result = GuardedHit("/page+unknown");
  EXPECT_EQ(result.out, "Location: /page\n\n");
  EXPECT_TRUE(harness::ListDir(Counters()).empty());
  EXPECT_TRUE(harness::ListDir(harness::DataRoot() + "allerror").empty());
  // A known counter whose log cannot be opened is still a failure worth journaling.
  harness::RemoveTree(Counters());
  harness::WriteFile(harness::DataRoot() + "counters", "not a directory");
  GuardedHit("/page+unknown");
  EXPECT_NE(harness::ReadFile(harness::DataRoot() + "allerror/counter.txt").find("Can't open file"),
            std::string::npos);
}

}  // namespace
