#include "korvelin/profile/nickname.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Runs NikPreobr on input in a buffer of exactly the room it asks for (more when the
// input itself is longer), so the sanitizers see any write past the limit.
std::string Normalise(const std::string& input) {
  std::string buffer = input;
  buffer.resize(std::max<size_t>(input.size(), NikMaxLen) + 1, '\0');
  NikPreobr(buffer.data());
  EXPECT_LE(strlen(buffer.c_str()), static_cast<size_t>(NikMaxLen));
  return buffer.c_str();
}

std::string Letters(int count, char from = 'a') {
  std::string s;
  for (int i = 0; i < count; ++i) s += static_cast<char>(from + i % 26);
  return s;
}

TEST(NikPreobr, Cases) {
  struct Case {
    std::string input, expected;
  };
  const Case cases[] = {
      {"  John   Smith  ", "John Smith"},
      {"a=b", "a&#61;b"},
      {"a= b", "a&#61; b"},  // the space follows ";", not a space
      {"O'Neil", "O&quot;Neil"},
      {"x\xADY", "xY"},
      {"a \xAD b", "a b"},  // the soft hyphen vanishes, then the second space follows the first
      {"", ""},
      {"     ", ""},
      {"\xAD\xAD", ""},
      {"a\tb\"c&<>", "a\tb\"c&<>"},
      {Letters(30), Letters(24)},
      {Letters(23) + " b", Letters(23)},  // the space takes the 24th place, then is dropped
      {Letters(20) + "=", Letters(20) + "&#61"},
      {Letters(23) + "=", Letters(23) + "&"},
      {Letters(22) + "'", Letters(22) + "&q"},
      {Letters(10) + std::string(20, ' ') + Letters(20, 'A'), Letters(10) + " " + Letters(13, 'A')},
      {std::string(100, '\xAD') + "ok", "ok"},  // dropped bytes do not count towards the limit
  };
  for (const Case& c : cases) EXPECT_EQ(Normalise(c.input), c.expected) << c.input;
}

TEST(NikPreobr, NoInputOverrunsTheWorkingArea) {
  // Every mix of references, spaces and letters at every length stays within 24 bytes.
  const char pieces[] = {'=', '\'', ' ', 'x', '\xAD'};
  for (int length = 0; length < 60; ++length) {
    for (char piece : pieces) {
      std::string input = Letters(length % 25) + std::string(length, piece);
      Normalise(input);
      Normalise(std::string(length, '\'') + input);
    }
  }
  EXPECT_EQ(Normalise(std::string(1000, '=')), "&#61;&#61;&#61;&#61;&#61");
}

}  // namespace
