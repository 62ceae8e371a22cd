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

// A text with some of its bytes shown as spaces; the text is copied only when one is.
class SpacedText {
 public:
  SpacedText(const SpacedText&) = delete;
  SpacedText& operator=(const SpacedText&) = delete;

  const char* c_str() const { return text_; }

 protected:
  // blank(text, i) says whether byte i of text (absent reads "(null)") shows as a space.
  template <typename Blank>
  SpacedText(const char* text, Blank blank) : text_(OrNull(text)) {
    for (std::size_t i = 0; text_[i] != '\0'; ++i) {
      if (!blank(text_, i)) continue;
      if (copy_.empty()) copy_ = text_;
      copy_[i] = ' ';
    }
    if (!copy_.empty()) text_ = copy_.c_str();
  }

 private:
  std::string copy_;
  const char* text_;
};

// A value written into a hit line or a journal entry, as one line: absent reads
// "(null)", and a CR or LF reads as a space, so a value can never end a line early
// and forge a line or an entry of its own.
class OneLine : public SpacedText {
 public:
  explicit OneLine(const char* text)
      : SpacedText(text, [](const char* t, std::size_t i) { return t[i] == '\r' || t[i] == '\n'; }) {}
};

#endif
