// Small text helpers that the library and the programs share (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_STRINGS_H
#define KORVELIN_SUPPORT_INTERNAL_STRINGS_H

#include <climits>
#include <cstring>

// An absent text (an unset CGI variable) is written as "(null)", the text the
// platform's formatter gives a null string, so logs read the same as they always have.
inline const char* OrNull(const char* text) { return text != nullptr ? text : "(null)"; }

// The length of a zero-terminated text as the library's signed 32-bit count; a text
// of 2 GiB or more counts as INT_MAX bytes, so the count never turns negative.
inline int TextLength(const char* text) {
  std::size_t length = std::strlen(text);
  return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

// The length of a string literal or a char array holding one, without its terminator.
template <std::size_t N>
constexpr std::size_t LiteralLength(const char (&)[N]) {
  return N - 1;
}

#endif
