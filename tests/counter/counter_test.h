// What the counter tests share: its environment and the hit lines it writes.
#ifndef KORVELIN_TESTS_REDIRECT_COUNTER_TEST_H
#define KORVELIN_TESTS_REDIRECT_COUNTER_TEST_H

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/common/harness.h"

namespace counter_test {

inline std::string Counters() { return harness::DataRoot() + "counters/"; }

// A front end of the counter and how a test hands it one request: counter.cgi run with
// the CGI environment, or a standing counter.fcgi asked through cgi-fcgi.
struct Front {
  const char* name;
  harness::ProcessResult (*run)(const std::vector<std::string>& env);
  // Readies the front for requests and says why it cannot be tested here (a missing
  // tool), or returns empty. Called in the test's main thread, before any request.
  std::string (*prepare)();
};
// gtest names a front end's cases by it.
inline void PrintTo(const Front& front, std::ostream* out) { *out << front.name; }
// Every front end this build has.
std::vector<Front> Fronts();
// The front end the requests go to; counter.cgi unless a test chose another.
void UseFront(const Front& front);
const Front& CurrentFront();

// For tests run once per front end: chooses the parameter's, and skips (or, where
// KORVELIN_E2E_REQUIRED is set, fails) when its tool is missing.
class FrontTest : public ::testing::TestWithParam<Front> {
 protected:
  void SetUp() override;
  void TearDown() override;
};
std::string FrontName(const ::testing::TestParamInfo<Front>& info);

inline harness::ProcessResult Run(std::vector<std::string> env) { return CurrentFront().run(env); }

inline harness::ProcessResult Hit(const std::string& query, std::vector<std::string> env = {}) {
  env.push_back("QUERY_STRING=" + query);
  env.push_back("SCRIPT_NAME=/cgi-bin/counter.cgi");
  return Run(env);
}

// The hit line after its date and time, as the counter writes it for these values.
inline std::string HitTail(const char* addr, const char* host, const char* forwarded,
                           const char* referer) {
  auto field = [](const char* label, const char* value) {
    std::string text = value != nullptr ? value : "(null)";
    if (text.size() < 15) text.append(15 - text.size(), ' ');
    return std::string(label) + text + " ";
  };
  return field("A:", addr) + field("H:", host) + field("IP:", forwarded) + "FROM:" +
         (referer != nullptr ? referer : "(null)") + "\n";
}

// The text as a regular expression that matches exactly it.
inline std::string Literal(const std::string& text) {
  std::string pattern;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) pattern += '\\';
    pattern += c;
  }
  return pattern;
}

// Matches "Date: dd.mm.yyyy Time: hh:mm:ss " at the start of a hit line.
inline const char* kHitHead = "Date: \\d\\d\\.\\d\\d\\.\\d{4} Time: \\d\\d:\\d\\d:\\d\\d ";

}  // namespace counter_test

#endif
