#include "korvelin/form/decoder.h"

#include <cstring>

namespace {

// Room margins. Before a byte is written at least 9 bytes stay free, enough for
// that byte and the longest escape that may rewrite it ("&quot;" adds 5). After
// a finished value step 14 stay free, enough for the next step and for the
// closing tags "</b></i></u>" at the field's end. CR LF needs 4.
constexpr int kByteRoom = 9;
constexpr int kStepRoom = 14;
constexpr int kLineEndRoom = 4;

constexpr char kEscapedLess[] = "&lt;";
constexpr int kEscapedLessLength = 4;

// The three tags a markup field lets through, in the order they are tested and closed.
constexpr char kTagLetters[3] = {'b', 'i', 'u'};

bool EndsWith(const char* text, int length, const char* suffix) {
  int suffix_length = static_cast<int>(std::strlen(suffix));
  return length >= suffix_length && std::memcmp(text + length - suffix_length, suffix, suffix_length) == 0;
}

// Value of one character of a percent escape. Letters need not be upper case or
// even hexadecimal: every byte maps somewhere, and bytes from 0x80 up count as
// low (signed) ones.
int HexValue(char c) {
  int k = static_cast<unsigned char>(c);
  return static_cast<signed char>(c) <= 0x40 ? k - 0x30 : k - 0x37;
}

unsigned char EscapedByte(char first, char second) {
  return static_cast<unsigned char>((16 * HexValue(first) + HexValue(second)) & 0xFF);
}

class Decoder {
 public:
  Decoder(const char* source, char* output, int capacity)
      : src_(source), n_(static_cast<int>(std::strlen(source))), out_(output), cap_(capacity) {}

  // Decodes field after field; returns when the source ends or the room runs
  // out. The caller terminates the output at size().
  void Run() {
    while (r_ < n_) {
      int name_start = p_;
      while (r_ < n_ && src_[r_] != '=') {
        if (!Room(kByteRoom)) return;
        Put(src_[r_++]);
      }
      Classify(name_start);
      if (r_ == n_) return;  // a name without "=" ends the output
      if (!Room(kByteRoom)) return;
      Put('=');
      ++r_;
      while (r_ < n_ && src_[r_] != '&') {
        if (!ValueStep()) return;
      }
      if (!Room(kStepRoom)) return;
      if (markup_) CloseOpenTags();
      if (r_ < n_) {
        if (!Room(kLineEndRoom)) return;
        Put('\r');
        Put('\n');
        ++r_;
      }
    }
  }

  int size() const { return p_; }

 private:
  bool Room(int margin) const { return p_ < cap_ - margin; }
  void Put(char c) { out_[p_++] = c; }
  void Append(const char* text) {
    for (; *text != '\0'; ++text) Put(*text);
  }
  char Last() const { return out_[p_ - 1]; }
  // Rewrites the byte just written as an entity: '&' followed by rest.
  void EscapeLast(const char* rest) {
    out_[p_ - 1] = '&';
    Append(rest);
  }

  // The kind of a field follows from the end of its name as copied.
  void Classify(int name_start) {
    const char* name = out_ + name_start;
    int length = p_ - name_start;
    markup_ = EndsWith(name, length, "biu");
    line_breaks_ = EndsWith(name, length, "10") || EndsWith(name, length, "10biu");
    if (markup_) open_[0] = open_[1] = open_[2] = false;
  }

  // Decodes one value byte (raw or percent-escaped) and escapes what it wrote.
  // Returns false when the room ran out.
  bool ValueStep() {
    bool wrote = false;
    if (src_[r_] == '%') {
      if (n_ - r_ < 3) {
        // An escape cut short by the end of the source yields nothing and ends the source.
        r_ = n_;
      } else {
        unsigned char b = EscapedByte(src_[r_ + 1], src_[r_ + 2]);
        if (b == 0xA0) b = 0x20;  // no-break space
        if (b > 0x1F) {
          if (!Room(kByteRoom)) return false;
          Put(static_cast<char>(b));
          break_written_ = false;
          wrote = true;
        }
        if (line_breaks_ && b == 0x0D) {
          break_written_ = true;
          if (!Room(kByteRoom)) return false;
          Append("<br>");
          wrote = true;
        }
        r_ += 3;
      }
    } else {
      if (!Room(kByteRoom)) return false;
      Put(src_[r_] == '+' ? ' ' : src_[r_]);
      break_written_ = false;
      wrote = true;
      ++r_;
    }

    // The escapes look only at a byte this step wrote: after a dropped control
    // byte the output may end in a tag just written, whose '>' must stay.
    if (!Room(kByteRoom)) return false;
    if (wrote && Last() == '&') Append("amp;");
    if (!Room(kByteRoom)) return false;
    if (wrote && Last() == '"') EscapeLast("quot;");
    if (break_written_) return true;  // the '>' of "<br>" stays as it is
    if (!Room(kByteRoom)) return false;
    if (wrote && Last() == '<') EscapeLast("lt;");
    if (wrote && Last() == '>') EscapeLast("gt;");
    if (!Room(kStepRoom)) return false;
    if (markup_) RecognizeTags();
    return true;
  }

  // The caller has made sure the source holds the bytes compared.
  bool SourceAt(int offset, const char* text) const {
    return std::memcmp(src_ + r_ + offset, text, std::strlen(text)) == 0;
  }
  bool LetterAt(int offset, char letter) const {
    char c = src_[r_ + offset];
    return c == letter || c == letter - ('a' - 'A');
  }

  // An escaped '<' at the end of the output may start a tag the user typed:
  // "b%3E" opens b, "%2Fb%3E" closes it (likewise i and u). A matching tag
  // replaces the "&lt;"; a repeated opening or an unmatched closing removes it.
  // Each test runs only while the output still ends in "&lt;".
  void RecognizeTags() {
    for (int t = 0; t < 3; ++t) {
      for (int step = 0; step < 2; ++step) {
        bool closing = step == 1;  // the opening tag is tested first
        if (!EndsWith(out_, p_, kEscapedLess)) return;
        int length = closing ? 7 : 4;
        if (n_ - r_ < length) continue;
        bool match = closing ? SourceAt(0, "%2F") && LetterAt(3, kTagLetters[t]) && SourceAt(4, "%3E")
                             : LetterAt(0, kTagLetters[t]) && SourceAt(1, "%3E");
        if (!match) continue;
        p_ -= kEscapedLessLength;
        if (open_[t] == closing) {
          Put('<');
          if (closing) Put('/');
          Put(kTagLetters[t]);
          Put('>');
          open_[t] = !closing;
        }
        r_ += length;
      }
    }
  }

  void CloseOpenTags() {
    static constexpr const char* kClosing[3] = {"</b>", "</i>", "</u>"};
    for (int t = 0; t < 3; ++t) {
      if (open_[t]) Append(kClosing[t]);
    }
  }

  const char* src_;
  int n_;
  int r_ = 0;
  char* out_;
  int cap_;
  int p_ = 0;
  bool break_written_ = false;  // "<br>" was the last thing written to a value
  bool line_breaks_ = false;
  bool markup_ = false;
  bool open_[3] = {};
};

}  // namespace

int CoderEnviroment(const char* source, char* output, int capacity) {
  if (capacity < 1) return 0;  // not even a terminator fits
  output[0] = '\0';
  Decoder decoder(source, output, capacity);
  decoder.Run();
  output[decoder.size()] = '\0';
  return 0;
}
