#include "korvelin/text/hex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "korvelin/text/cp1251.h"

namespace {

TEST(Hex, NameToC16WritesUpperCaseDigitPairs) {
  static constexpr auto kYa = Cp1251(u8"Я");
  static constexpr auto kSmallYa = Cp1251(u8"я");
  static constexpr auto kHello = Cp1251(u8"Привет");
  const struct {
    const char* text;
    const char* digits;
  } cases[] = {
      {"Az", "417A"}, {kYa.c_str(), "DF"}, {kSmallYa.c_str(), "FF"},
      {kHello.c_str(), "CFF0E8E2E5F2"}, {"", ""}, {"\x01\x10 ", "011020"},
  };
  for (const auto& c : cases) {
    char out[64];
    std::memset(out, 'x', sizeof out);
    NameToC16(c.text, out);
    EXPECT_STREQ(out, c.digits);
    C16ToName(c.digits, out);
    EXPECT_STREQ(out, c.text) << c.digits;
  }
}

TEST(Hex, C16ToNameReadsDigitsWithoutValidating) {
  char out[8];
  C16ToName("7a", out);  // lower-case letters are outside the format
  EXPECT_STREQ(out, "\x9A");
  C16ToName("", out);
  EXPECT_STREQ(out, "");
}

TEST(Hex, C16ToNameTakesALoneLastDigitAsTheHighHalf) {
  // The digits sit in a block of exactly their size, so reading past the
  // terminator would be caught by the sanitizer build.
  const struct {
    const char* digits;
    const char* text;
  } cases[] = {{"A", "\xA0"}, {"41A", "A\xA0"}, {"417A3", "Az0"}};
  for (const auto& c : cases) {
    size_t size = std::strlen(c.digits) + 1;
    auto digits = std::make_unique<char[]>(size);
    std::memcpy(digits.get(), c.digits, size);
    auto out = std::make_unique<char[]>(size / 2 + 1);
    C16ToName(digits.get(), out.get());
    EXPECT_STREQ(out.get(), c.text) << c.digits;
  }
}

TEST(Hex, RoundTripOfEveryNonZeroByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string digits(2 * all.size() + 1, 'x');
  NameToC16(all.c_str(), digits.data());
  ASSERT_EQ(std::strlen(digits.c_str()), 2 * all.size());
  EXPECT_EQ(std::strspn(digits.c_str(), "0123456789ABCDEF"), 2 * all.size());

  // Decoded in place: each byte lands no later than the digits it came from.
  C16ToName(digits.data(), digits.data());
  EXPECT_EQ(std::string(digits.c_str()), all);

  for (int b = 1; b < 256; ++b) {
    const char text[] = {static_cast<char>(b), '\0'};
    char pair[3];
    char back[2];
    NameToC16(text, pair);
    C16ToName(pair, back);
    EXPECT_STREQ(back, text) << b;
  }
}

}  // namespace
