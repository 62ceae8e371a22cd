#include "korvelin/profile/validators.h"

#include <cstring>

#include "korvelin/text/cp1251.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of text, counting no further than limit bytes: the checks only need to know
// whether a text reaches a few bytes, so a long text is never scanned to its end.
int LengthUpTo(const char* text, int limit) { return static_cast<int>(strnlen(text, limit)); }

// A sign's name in Windows-1251, in a slot wide enough for the longest.
struct SignName {
  char bytes[16] = {};
};

template <std::size_t N>
constexpr SignName Sign(const Cp1251Text<N>& text) {
  SignName name;
  if (text.size >= sizeof name.bytes) throw "a sign's name outgrows its slot";
  for (std::size_t i = 0; i < text.size; ++i) name.bytes[i] = text.bytes[i];
  return name;
}

// The signs in the order of the year, starting with the one that ends in January:
// month m ends with sign m - 1 and begins sign m (the twelfth month begins the first).
constexpr SignName kSigns[12] = {
    Sign(Cp1251(u8"козерог")), Sign(Cp1251(u8"водолей")), Sign(Cp1251(u8"рыбы")),
    Sign(Cp1251(u8"овен")), Sign(Cp1251(u8"телец")), Sign(Cp1251(u8"близнецы")),
    Sign(Cp1251(u8"рак")), Sign(Cp1251(u8"лев")), Sign(Cp1251(u8"дева")),
    Sign(Cp1251(u8"весы")), Sign(Cp1251(u8"скорпион")), Sign(Cp1251(u8"стрелец")),
};

// The last day of each month that still belongs to the sign ending in it.
constexpr int kBoundaryDay[12] = {20, 19, 20, 20, 21, 21, 23, 23, 23, 23, 22, 21};

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
  int sign = day <= kBoundaryDay[month - 1] ? month - 1 : month % 12;
  return kSigns[sign].bytes;
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
