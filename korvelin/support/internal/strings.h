// Small text helpers that the library and the programs share (internal).
#ifndef KORVELIN_SUPPORT_INTERNAL_STRINGS_H
#define KORVELIN_SUPPORT_INTERNAL_STRINGS_H

#include <climits>
#include <cstring>
#include <string>

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

// A value written into a hit line or a journal entry, as one line: absent reads
// "(null)", and a CR or LF reads as a space, so a value can never end a line early
// and forge a line or an entry of its own. A value without line breaks is not copied.
class OneLine {
 public:
  explicit OneLine(const char* text) : text_(OrNull(text)) {
    if (std::strpbrk(text_, "\r\n") == nullptr) return;
    copy_ = text_;
    for (char& c : copy_) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    text_ = copy_.c_str();
  }
  OneLine(const OneLine&) = delete;
  OneLine& operator=(const OneLine&) = delete;

  const char* c_str() const { return text_; }

 private:
  std::string copy_;
  const char* text_;
};

#endif
