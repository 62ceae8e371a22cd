// What the counter tests share: its environment and the hit lines it writes.
#ifndef KORVELIN_TESTS_REDIRECT_COUNTER_TEST_H
#define KORVELIN_TESTS_REDIRECT_COUNTER_TEST_H

#include <string>
#include <vector>

#include "tests/common/harness.h"

namespace counter_test {

inline std::string Counters() { return harness::DataRoot() + "counters/"; }

inline harness::ProcessResult Hit(const std::string& query, std::vector<std::string> env = {}) {
  env.push_back("QUERY_STRING=" + query);
  env.push_back("SCRIPT_NAME=/cgi-bin/counter.cgi");
  return harness::RunCounter(env);
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
