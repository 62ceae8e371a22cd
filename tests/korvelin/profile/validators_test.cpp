#include "korvelin/profile/validators.h"

#include <gtest/gtest.h>

#include <string>

#include "korvelin/text/cp1251.h"

namespace {

struct TextCase {
  const char* text;
  int expected;
};

TEST(Validators, CanEmail) {
  const TextCase cases[] = {
      {"a@b.c", 1}, {"@abcd", 1}, {"@@@@@", 1}, {"a@bc", 0}, {"abcdef", 0}, {"", 0},
  };
  for (const TextCase& c : cases) EXPECT_EQ(CanEmail(c.text), c.expected) << c.text;
}

TEST(Validators, CanTel) {
  const TextCase cases[] = {
      {"+7 (12) 345", 1},  // 6 digits among other bytes
      {"12-34", 0},        // 4 digits
      {"12345", 1},
      {"1 2 3 4 5", 1},
      {"\xB9\xB9\xB9\xB9\xB9", 0},  // bytes from 0x80 up are never digits
      {"", 0},
  };
  for (const TextCase& c : cases) EXPECT_EQ(CanTel(c.text), c.expected) << c.text;
}

TEST(Validators, CanIcq) {
  const TextCase cases[] = {
      {"12345", 1}, {"1234567890", 1}, {"1234", 0}, {"12345678901", 0},
      {"12345a", 0}, {"a12345", 0}, {"123 45", 0}, {"", 0},
  };
  for (const TextCase& c : cases) EXPECT_EQ(CanIcq(c.text), c.expected) << c.text;
}

TEST(Validators, CanHomepage) {
  const TextCase cases[] = {{"http://a", 1}, {"        ", 1}, {"http://", 0}, {"", 0}};
  for (const TextCase& c : cases) EXPECT_EQ(CanHomepage(c.text), c.expected) << c.text;
}

TEST(Validators, CanBirth) {
  struct Case {
    int day, month, year, expected;
  };
  const Case cases[] = {
      {29, 2, 2000, 1}, {29, 2, 1999, 0}, {28, 2, 1999, 1}, {30, 2, 2000, 0},
      {31, 4, 1980, 0}, {30, 4, 1980, 1}, {31, 6, 1980, 0}, {31, 9, 1980, 0},
      {31, 11, 1980, 0}, {31, 7, 1980, 1}, {31, 12, 2010, 1}, {1, 1, 1930, 1},
      {1, 1, 1929, 0}, {1, 1, 2011, 0}, {0, 5, 1980, 0}, {32, 5, 1980, 0},
      {1, 0, 1980, 0}, {1, 13, 1980, 0}, {29, 2, 1932, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CanBirth(c.day, c.month, c.year), c.expected)
        << c.day << "." << c.month << "." << c.year;
  }
}

constexpr auto kAquarius = Cp1251(u8"водолей");
constexpr auto kPisces = Cp1251(u8"рыбы");
constexpr auto kAries = Cp1251(u8"овен");
constexpr auto kTaurus = Cp1251(u8"телец");
constexpr auto kGemini = Cp1251(u8"близнецы");
constexpr auto kCancer = Cp1251(u8"рак");
constexpr auto kLeo = Cp1251(u8"лев");
constexpr auto kVirgo = Cp1251(u8"дева");
constexpr auto kLibra = Cp1251(u8"весы");
constexpr auto kScorpio = Cp1251(u8"скорпион");
constexpr auto kSagittarius = Cp1251(u8"стрелец");
constexpr auto kCapricorn = Cp1251(u8"козерог");

TEST(Zodiak, EveryBoundaryDayAndTheDayAfter) {
  struct Case {
    int month, day;
    const char* sign;
  };
  const Case cases[] = {
      {1, 20, kCapricorn.c_str()},   {1, 21, kAquarius.c_str()},
      {2, 19, kAquarius.c_str()},    {2, 20, kPisces.c_str()},
      {3, 20, kPisces.c_str()},      {3, 21, kAries.c_str()},
      {4, 20, kAries.c_str()},       {4, 21, kTaurus.c_str()},
      {5, 21, kTaurus.c_str()},      {5, 22, kGemini.c_str()},
      {6, 21, kGemini.c_str()},      {6, 22, kCancer.c_str()},
      {7, 23, kCancer.c_str()},      {7, 24, kLeo.c_str()},
      {8, 23, kLeo.c_str()},         {8, 24, kVirgo.c_str()},
      {9, 23, kVirgo.c_str()},       {9, 24, kLibra.c_str()},
      {10, 23, kLibra.c_str()},      {10, 24, kScorpio.c_str()},
      {11, 22, kScorpio.c_str()},    {11, 23, kSagittarius.c_str()},
      {12, 21, kSagittarius.c_str()}, {12, 22, kCapricorn.c_str()},
      // The day is not checked against the month.
      {2, 31, kPisces.c_str()},      {3, 0, kPisces.c_str()},
      {12, -5, kSagittarius.c_str()},
      {13, 1, ""},                   {0, 15, ""},
      {-1, 15, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(Zodiak(c.month, c.day)), c.sign) << c.month << "/" << c.day;
  }
}

TEST(Zodiak, NamesAreWindows1251) {
  // "овен": о в е н in Windows-1251.
  EXPECT_EQ(std::string(Zodiak(4, 1)), "\xEE\xE2\xE5\xED");
}

}  // namespace
