#include "korvelin/text/hex.h"

#include <cstring>

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The value of one digit. Only 0-9 and A-F give 0 to 15; other characters are not
// checked and give whatever the two ranges' arithmetic makes of them.
int DigitValue(char digit) {
  int code = static_cast<unsigned char>(digit);
  return code <= 64 ? code - 48 : code - 55;
}

}  // namespace

void NameToC16(const char* text, char* output) {
  for (const char* p = text; *p != '\0'; ++p) {
    unsigned value = static_cast<unsigned char>(*p);
    *output++ = kDigits[value / 16];
    *output++ = kDigits[value % 16];
  }
  *output = '\0';
}

void C16ToName(const char* digits, char* output) {
  size_t count = std::strlen(digits);
  size_t i = 0;
  // Output index i is never past input index 2i, so decoding in place is safe.
  for (; 2 * i < count; ++i) {
    int high = DigitValue(digits[2 * i]);
    // A digit string of odd length: the last digit stands alone and its low half is 0,
    // and the terminator is not read as a digit.
    int low = 2 * i + 1 < count ? DigitValue(digits[2 * i + 1]) : 0;
    output[i] = static_cast<char>((high * 16 + low) & 0xFF);
  }
  output[i] = '\0';
}
