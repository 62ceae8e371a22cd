#include "korvelin/profile/validators.h"

#include <cstring>

#include "korvelin/text/cp1251.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of text, counting no further than limit bytes: the checks only need to know
// whether a text reaches a few bytes, so a long text is never scanned to its end.
int LengthUpTo(const char* text, int limit) { return static_cast<int>(strnlen(text, limit)); }

// Each month splits at one boundary day: up to and including it the sign that ends in the
// month, after it the sign that begins there. Row m - 1 holds month m.
struct MonthSigns {
  int boundary;
  const char* ending;
  const char* beginning;
};

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

constexpr MonthSigns kMonths[12] = {
    {20, kCapricorn.c_str(), kAquarius.c_str()},    // January
    {19, kAquarius.c_str(), kPisces.c_str()},       // February
    {20, kPisces.c_str(), kAries.c_str()},          // March
    {20, kAries.c_str(), kTaurus.c_str()},          // April
    {21, kTaurus.c_str(), kGemini.c_str()},         // May
    {21, kGemini.c_str(), kCancer.c_str()},         // June
    {23, kCancer.c_str(), kLeo.c_str()},            // July
    {23, kLeo.c_str(), kVirgo.c_str()},             // August
    {23, kVirgo.c_str(), kLibra.c_str()},           // September
    {23, kLibra.c_str(), kScorpio.c_str()},         // October
    {22, kScorpio.c_str(), kSagittarius.c_str()},   // November
    {21, kSagittarius.c_str(), kCapricorn.c_str()}, // December
};

}  // namespace

int CanEmail(const char* text) {
  return LengthUpTo(text, 5) == 5 && strchr(text, '@') != nullptr;
}

int CanBirth(int day, int month, int year) {
  if (year < 1930 || year > 2010) return 0;
  if (month < 1 || month > 12) return 0;
  if (day < 1 || day > 31) return 0;
  bool short_month = month == 2 || month == 4 || month == 6 || month == 9 || month == 11;
  if (day == 31 && short_month) return 0;
  if (month == 2 && day > (year % 4 == 0 ? 29 : 28)) return 0;
  return 1;
}

const char* Zodiak(int month, int day) {
  if (month < 1 || month > 12) return "";
  // Days are not checked against the month: 0 or less falls before the boundary, 32 after it.
  const MonthSigns& signs = kMonths[month - 1];
  return day <= signs.boundary ? signs.ending : signs.beginning;
}

int CanTel(const char* text) {
  // Five digits make the text at least five bytes long as well.
  int digits = 0;
  for (const char* c = text; *c != '\0' && digits < 5; ++c) {
    if (IsDigit(*c)) ++digits;
  }
  return digits == 5;
}

int CanIcq(const char* text) {
  int length = 0;
  while (length <= 10 && IsDigit(text[length])) ++length;
  return length >= 5 && length <= 10 && text[length] == '\0';
}

int CanHomepage(const char* text) { return LengthUpTo(text, 8) == 8; }
