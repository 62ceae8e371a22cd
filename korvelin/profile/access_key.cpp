#include "korvelin/profile/access_key.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "korvelin/support/internal/strings.h"
#include "korvelin/text/edit.h"

namespace {

constexpr int kTextMax = 24;                          // longest user name or password
// The fixed-width fields: user, both text lengths, date ddmmyyyy, time hhmmsscc.
constexpr int kFixedWidths = 6 + 2 + 2 + 8 + 8;
constexpr int kPlainMax = kFixedWidths + 2 * kTextMax;  // 74: the fixed-width fields and both texts
constexpr int kKeyMax = 3 * ((kPlainMax + 1) / 2);    // 111 letters
constexpr int kKeyReadMax = 121;                      // letters of a key that are looked at
constexpr int kDecodedMax = 2 * (kKeyReadMax / 3);    // 80 bytes from 40 groups of three
static_assert(kKeyMax + 1 == 112);

constexpr int kBase = 41;
// Digits 26 to 40 are "b" to "p": the seven codes after "Z" and the letter "a" are skipped.
constexpr int kLowerGap = 7;

char DigitLetter(int digit) {
  return static_cast<char>(digit < 26 ? 'A' + digit : 'A' + kLowerGap + digit);
}

// The byte's code as a signed byte, the way the decoder does all its arithmetic.
int SignedCode(char c) { return static_cast<signed char>(c); }

// Letters outside the alphabet are not refused: they give whatever digit (maybe negative)
// the arithmetic makes of them.
int LetterDigit(char letter) {
  int code = SignedCode(letter);
  if (code >= 'a') code -= kLowerGap;
  return code - 'A';
}

// Low eight bits of value as a byte (the decoder stores negative group values this way too).
char LowByte(int value) { return static_cast<char>(static_cast<unsigned char>(value)); }


// The plain text read back. Nothing outside its n bytes is ever touched: a digit at a
// position outside the text counts as 0, a text field that starts outside it is empty and
// one that runs past its end is cut there.
struct PlainText {
  const char* bytes;
  int n;

  // The count digits from first on, most significant first; a byte that is not a digit
  // is not refused and adds its code minus "0".
  int Number(int first, int count) const {
    int value = 0;
    for (int i = first; i < first + count; ++i) {
      int digit = i >= 0 && i < n ? SignedCode(bytes[i]) - '0' : 0;
      value = value * 10 + digit;
    }
    return value;
  }

  void CopyText(int start, int count, char* out) const {
    if (start < 0 || start >= n) {
      start = 0;
      count = 0;
    }
    CopySubstr(bytes, start, std::min(count, n - start), out);
  }
};

}  // namespace

int PassToKey(int user, const char* name, const char* password, date moment_date,
              utime moment_time, char* key) {
  if (name == nullptr) name = "";
  if (password == nullptr) password = "";

  // Within the limits the plain text is at most kPlainMax bytes; longer values are cut there,
  // so the key still fits its 112 bytes (it just does not decode to the same values).
  char plain[kPlainMax + 1];
  int written = snprintf(plain, sizeof plain, "%06d%02d%s%02d%s%02d%02d%04d%02d%02d%02d%02d",
                         user, TextLength(name), name, TextLength(password), password,
                         moment_date.day, moment_date.month, moment_date.year, moment_time.hour,
                         moment_time.minute, moment_time.second, moment_time.hundredths);
  int n = std::clamp(written, 0, kPlainMax);

  // First byte, last byte, second, second-to-last, ...; an odd middle byte comes last,
  // and the zero after it completes the final pair.
  char pairs[kPlainMax + 1];
  for (int k = 0; k < n / 2; ++k) {
    pairs[2 * k] = plain[k];
    pairs[2 * k + 1] = plain[n - 1 - k];
  }
  if (n % 2 == 1) pairs[n - 1] = plain[n / 2];
  pairs[n] = '\0';

  // 41 cubed is 68921, so three letters hold any pair 0 to 65535.
  int groups = (n + 1) / 2;
  for (int k = 0; k < groups; ++k) {
    int v = 256 * static_cast<unsigned char>(pairs[2 * k]) +
            static_cast<unsigned char>(pairs[2 * k + 1]);
    key[3 * k] = DigitLetter(v / (kBase * kBase));
    key[3 * k + 1] = DigitLetter(v / kBase % kBase);
    key[3 * k + 2] = DigitLetter(v % kBase);
  }
  key[3 * groups] = '\0';
  return 0;
}

int KeyToPass(const char* key, int* user, char* name, char* password, date* moment_date,
              utime* moment_time) {
  if (key == nullptr) key = "";

  // Only whole groups of three letters count; one or two letters left over are ignored.
  int groups = static_cast<int>(strnlen(key, kKeyReadMax)) / 3;
  char pairs[kDecodedMax + 1];
  for (int k = 0; k < groups; ++k) {
    const char* letters = key + 3 * k;
    int v = kBase * kBase * LetterDigit(letters[0]) + kBase * LetterDigit(letters[1]) +
            LetterDigit(letters[2]);
    // For a negative v, / and % truncate toward zero, as the key's decoders always have.
    pairs[2 * k] = LowByte(v / 256);
    pairs[2 * k + 1] = LowByte(v % 256);
  }
  pairs[2 * groups] = '\0';
  // The zero that padded an odd plain text ends the bytes, so n comes out odd again.
  int n = static_cast<int>(strlen(pairs));

  char plain[kDecodedMax + 1];
  for (int k = 0; k < n / 2; ++k) {
    plain[k] = pairs[2 * k];
    plain[n - 1 - k] = pairs[2 * k + 1];
  }
  if (n % 2 == 1) plain[n / 2] = pairs[n - 1];
  plain[n] = '\0';

  const PlainText text{plain, n};
  if (user != nullptr) *user = text.Number(0, 6);
  // Lengths are capped from above only; a negative one moves the next field backwards.
  int name_length = std::min(text.Number(6, 2), kTextMax);
  if (name != nullptr) text.CopyText(8, name_length, name);
  int password_length = std::min(text.Number(8 + name_length, 2), kTextMax);
  if (password != nullptr) text.CopyText(10 + name_length, password_length, password);

  int p = 10 + name_length + password_length;
  if (moment_date != nullptr) {
    date d;
    d.day = static_cast<signed char>(text.Number(p, 2));
    d.month = static_cast<signed char>(text.Number(p + 2, 2));
    d.year = text.Number(p + 4, 4);
    *moment_date = d;
  }
  if (moment_time != nullptr) {
    utime t;
    t.hour = static_cast<unsigned char>(text.Number(p + 8, 2));
    t.minute = static_cast<unsigned char>(text.Number(p + 10, 2));
    t.second = static_cast<unsigned char>(text.Number(p + 12, 2));
    t.hundredths = static_cast<unsigned char>(text.Number(p + 14, 2));
    *moment_time = t;
  }
  return 0;
}
