#include "korvelin/text/edit.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "korvelin/support/internal/strings.h"

namespace {

// Brings a position into 0..length, so an out-of-range caller value can never
// move a write before the buffer or past the room reserved for the string.
int ClampPosition(int position, int length) {
  if (position < 0) return 0;
  if (position > length) return length;
  return position;
}

// Case folding of the comparator: A-Z and the Cyrillic capitals А-Я (0xC0-0xDF)
// move up by 0x20; Ё (0xA8) and every other byte keep their codes.
constexpr std::array<unsigned char, 256> kFold = [] {
  std::array<unsigned char, 256> fold{};
  for (int b = 0; b < 256; ++b) {
    bool capital = (b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDF);
    fold[b] = static_cast<unsigned char>(capital ? b + 0x20 : b);
  }
  return fold;
}();

}  // namespace

void MemCopy(char* destination, const char* source, int count) {
  // Deliberately byte by byte and forwards: callers may shift inside one buffer.
  for (int i = 0; i < count; ++i) destination[i] = source[i];
}

void strlow(char* string) {
  for (char* p = string; *p != '\0'; ++p) {
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p + 0x20);
  }
}

void ChangeSubstr(char* string, const char* text, int position) {
  int length = TextLength(string);
  int text_length = TextLength(text);
  position = ClampPosition(position, length);
  std::memmove(string + position, text, text_length);
  // Only text that runs past the old end needs a new terminator; otherwise the old tail stays.
  if (position + text_length > length) string[position + text_length] = '\0';
}

void ChangesSubstr(char* string, const char* old_text, const char* new_text) {
  size_t size = std::strlen(old_text);
  // An empty old text would be found again and again at the same place.
  if (size == 0 || std::strlen(new_text) != size) return;
  char* point = string;
  while ((point = std::strstr(point, old_text)) != nullptr) {
    std::memmove(point, new_text, size);
    point += size;  // what was just written is never searched again
  }
}

void ChangeSubstrWithLen(char* string, const char* text, int position, int old_length) {
  int length = TextLength(string);
  int text_length = TextLength(text);
  position = ClampPosition(position, length);
  if (old_length < 0) old_length = 0;
  if (old_length > length - position) old_length = length - position;
  int new_length = length - old_length + text_length;
  // The tail moves from behind the old span to behind the new text; memmove copies
  // backwards when growing and forwards when shrinking, so the shift stays inside one buffer.
  if (text_length != old_length) {
    std::memmove(string + position + text_length, string + position + old_length,
                 length - position - old_length);
    string[new_length] = '\0';
  }
  std::memcpy(string + position, text, text_length);
}

void InsertSubstr(char* string, const char* text, int position) {
  ChangeSubstrWithLen(string, text, position, 0);
}

void DeleteSubstr(char* string, int position, int count) {
  int length = TextLength(string);
  position = ClampPosition(position, length);
  if (count <= 0) return;
  if (count >= length - position) {
    string[position] = '\0';
    return;
  }
  // The tail and its terminator close the gap.
  std::memmove(string + position, string + position + count, length - position - count + 1);
}

void CopySubstr(const char* source, int start, int count, char* destination) {
  if (count < 0) count = 0;
  // memmove, so a destination inside the source (extracting in place) is safe too.
  std::memmove(destination, source + start, count);
  destination[count] = '\0';
}

void DelSpaces(char* string) {
  int i = TextLength(string) - 1;
  while (i >= 0 && string[i] == ' ') --i;
  string[i + 1] = '\0';
}

int StrNoHeightCmp(const void* first, const void* second) {
  // Folding each byte as it is compared leaves the callers' rows untouched and
  // compares operands of any length whole.
  const auto* a = static_cast<const unsigned char*>(first);
  const auto* b = static_cast<const unsigned char*>(second);
  for (;; ++a, ++b) {
    int fa = kFold[*a];
    int fb = kFold[*b];
    if (fa != fb) return fa - fb;
    if (fa == 0) return 0;
  }
}

int SubStrPos(const char* string, const char* pattern) {
  const char* found = std::strstr(string, pattern);
  return found == nullptr ? -1 : static_cast<int>(found - string);
}

int SubAbsStrPos(const char* buffer, int length, int start, const char* pattern) {
  int64_t pattern_length = static_cast<int64_t>(std::strlen(pattern));
  // Candidates below 0 would compare bytes before the buffer, so the search begins at 0 at the earliest.
  if (start < 0) start = 0;
  if (pattern_length == 0 || start > static_cast<int64_t>(length) - pattern_length) return length;
  // memmem reports the first match lying wholly inside buffer[start..length), in linear time.
  const void* found = memmem(buffer + start, static_cast<size_t>(length - start), pattern,
                             static_cast<size_t>(pattern_length));
  return found == nullptr ? length : static_cast<int>(static_cast<const char*>(found) - buffer);
}
