#include "korvelin/text/cp1251.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Every character of Windows-1251 above ASCII, in the order of its bytes from 0x80
// (0x98 has none); the no-break space and the soft hyphen written as escapes.
constexpr auto kHighHalf = Cp1251(
    u8"ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏ"
    u8"ђ‘’“”•–—™љ›њќћџ"
    u8"\u00A0ЎўЈ¤Ґ¦§Ё©Є«¬\u00AD®Ї"
    u8"°±Ііґµ¶·ё№є»јЅѕї"
    u8"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
    u8"абвгдежзийклмнопрстуфхцчшщъыьэюя");

TEST(Cp1251, ConvertsEveryCharacterOfTheCodePage) {
  std::string expected;
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (b != 0x98) expected += static_cast<char>(b);
  }
  EXPECT_EQ(std::string(kHighHalf.c_str(), kHighHalf.size), expected);
  EXPECT_EQ(kHighHalf.bytes[kHighHalf.size], '\0');
}

TEST(Cp1251, KeepsAsciiAndControlBytes) {
  static constexpr auto kMixed = Cp1251(u8"a\tZ\r\n~\x7F №1");
  EXPECT_EQ(std::string(kMixed.c_str(), kMixed.size), "a\tZ\r\n~\x7F \xB9" "1");
}

TEST(W1251, GivesBytesThatOutliveTheExpression) {
  const char* thanks = W1251(u8"Спасибо, «друг»!");
  EXPECT_STREQ(thanks, "\xD1\xEF\xE0\xF1\xE8\xE1\xEE, \xAB\xE4\xF0\xF3\xE3\xBB!");
  EXPECT_STREQ(W1251(""), "");
}

}  // namespace
