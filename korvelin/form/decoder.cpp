#include "korvelin/form/decoder.h"

#include <cstring>
#include <string>

#include "korvelin/form/internal/html_entities.h"
#include "korvelin/support/internal/strings.h"

namespace {

// Room margins. A check with margin m lets a write go ahead only while fewer than
// capacity - m bytes are written (at most capacity - m - 1). Which check is for what:
// - The byte room before names, "=", value bytes and "<br>", and the step room after
//   each value step, are wider than safety needs: they reproduce the cut points the
//   contract fixes (a name cut at capacity - 9, a value at capacity - 14), so an input
//   is cut at the same byte wherever it is decoded. Do not tune them.
// - The step room before a field's closing tags and the line-end room before CR LF are
//   exactly what those writes need to end inside the text (see Fits below).
// - The escape room (PutEscaped) is the contract's byte-room check between a byte and
//   its entity, made before the byte so that no byte is left raw by a cut.
// - A value cut short closes its tags against the text's end itself (CloseCutValue).
constexpr int kByteRoom = 9;      // before a name byte, "=", a value byte or "<br>"
constexpr int kStepRoom = 14;     // after a value step, and before the closings at a field's end
constexpr int kLineEndRoom = 4;   // before the CR LF between fields
// The text and its terminator stay below index capacity - 2.
constexpr int kTextEndMargin = 3;

constexpr char kBreakTag[] = "<br>";
constexpr char kLineEnd[] = "\r\n";
constexpr int kEscapeLength = static_cast<int>(LiteralLength("%41"));  // "%" and two digits

constexpr const char* kLessEntity = HtmlEntityOf('<')->text;

// The tags a markup field lets through, in the order they are recognised and closed.
struct Tag {
  char letter;  // typed in either case
  const char* opening;
  const char* closing;
};
constexpr Tag kTags[] = {{'b', "<b>", "</b>"}, {'i', "<i>", "</i>"}, {'u', "<u>", "</u>"}};
constexpr int kTagCount = static_cast<int>(sizeof kTags / sizeof kTags[0]);

// How the user types a tag after its '<': a prefix, the letter raw, then "%3E". The
// opening form is tried before the closing one.
struct TypedForm {
  const char* prefix;
  bool closing;
};
constexpr TypedForm kTypedForms[] = {{"", false}, {"%2F", true}};
constexpr char kTypedEnd[] = "%3E";

constexpr int Length(const char* text) {
  return static_cast<int>(std::char_traits<char>::length(text));
}

constexpr int AllClosingsLength() {
  int length = 0;
  for (const Tag& tag : kTags) length += Length(tag.closing);
  return length;
}

// Whether length bytes admitted by a check with margin leave the terminator at index
// capacity - 3 at the latest.
constexpr bool Fits(int margin, int length) { return margin + 1 - length >= kTextEndMargin; }

// Why no write runs past the text's end: a value byte's entity is admitted with one byte
// more room than the byte (see PutEscaped), "<br>" with the byte room, all the closings
// with the step room, the line end with its own.
static_assert(Fits(kByteRoom + 1, static_cast<int>(kLongestHtmlEntity)));
static_assert(Fits(kByteRoom, Length(kBreakTag)));
static_assert(Fits(kStepRoom, AllClosingsLength()));
static_assert(Fits(kLineEndRoom, Length(kLineEnd)));
// A recognised tag replaces the "&lt;" it was escaped to and is never longer.
static_assert(Length(kLessEntity) >= Length("</b>"));

bool EndsWith(const char* text, int length, const char* suffix) {
  int suffix_length = Length(suffix);
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

// One unit of a value as the source spells it, before anything is escaped.
struct ValueUnit {
  enum class Kind { kByte, kLineBreak, kDropped };
  Kind kind;
  char byte;   // the decoded byte, for kByte
  int length;  // source bytes it takes
};

// Byte decoding: a raw byte ('+' as a space), or a percent escape that gives a byte
// (no-break space as a space), a line break (CR in a line-break field) or nothing (any
// other control byte). An escape cut short by the end of the source gives nothing and
// takes the rest of it.
ValueUnit DecodeUnit(const char* source, int source_length, int at, bool line_breaks) {
  using Kind = ValueUnit::Kind;
  char c = source[at];
  if (c != '%') return {Kind::kByte, c == '+' ? ' ' : c, 1};
  if (source_length - at < kEscapeLength) return {Kind::kDropped, 0, source_length - at};
  unsigned char byte = EscapedByte(source[at + 1], source[at + 2]);
  if (byte == 0xA0) byte = ' ';
  if (byte > 0x1F) return {Kind::kByte, static_cast<char>(byte), kEscapeLength};
  if (line_breaks && byte == '\r') return {Kind::kLineBreak, 0, kEscapeLength};
  return {Kind::kDropped, 0, kEscapeLength};
}

class Decoder {
 public:
  Decoder(const char* source, char* output, int capacity)
      : source_(source), source_length_(TextLength(source)), output_(output), capacity_(capacity) {}

  // Decodes field after field until the source ends or the room runs out.
  void Run() {
    while (read_ < source_length_) {
      if (!Field()) {
        CloseCutValue();
        return;
      }
    }
  }

  // Bytes written; the caller terminates the output there.
  int written() const { return written_; }

 private:
  // The point in a markup value where the output may end: the bytes written and the
  // tags open there.
  struct Mark {
    int written = 0;
    bool open[kTagCount] = {};
  };

  bool Room(int margin) const { return written_ < capacity_ - margin; }
  void Put(char c) { output_[written_++] = c; }
  void Append(const char* text) {
    for (; *text != '\0'; ++text) Put(*text);
  }

  // One field: the name, "=", the value, the closing tags, the line end. False when the
  // room ran out.
  bool Field() {
    int name_start = written_;
    while (read_ < source_length_ && source_[read_] != '=') {
      if (!Room(kByteRoom)) return false;
      Put(source_[read_++]);
    }
    Classify(name_start);
    if (read_ == source_length_) return true;  // a name without "=" ends the output
    if (!Room(kByteRoom)) return false;
    Put('=');
    ++read_;
    for (bool& open : open_) open = false;
    MarkClosable();
    while (read_ < source_length_ && source_[read_] != '&') {
      if (!ValueStep()) return false;
    }
    if (!Room(kStepRoom)) return false;
    CloseOpenTags();
    if (read_ == source_length_) return true;
    if (!Room(kLineEndRoom)) return false;
    Append(kLineEnd);
    ++read_;
    return true;
  }

  // The kind of a field follows from the end of its name as copied.
  void Classify(int name_start) {
    const char* name = output_ + name_start;
    int length = written_ - name_start;
    markup_ = EndsWith(name, length, "biu");
    line_breaks_ = EndsWith(name, length, "10") || EndsWith(name, length, "10biu");
  }

  // Decodes one unit of a value, writes it escaped, and lets a markup field's tag
  // replace an escaped '<'. False when the room ran out.
  bool ValueStep() {
    ValueUnit unit = DecodeUnit(source_, source_length_, read_, line_breaks_);
    read_ += unit.length;
    switch (unit.kind) {
      case ValueUnit::Kind::kLineBreak:
        if (!Room(kByteRoom)) return false;
        Append(kBreakTag);
        break_written_ = true;
        MarkClosable();
        return true;  // the contract checks no step room after a "<br>"
      case ValueUnit::Kind::kDropped:
        // Nothing to write; the output ends as the last step left it. Right after a
        // "<br>" its '>' is no escaped '<', so there is nothing to look at.
        if (break_written_) return true;
        break;
      case ValueUnit::Kind::kByte:
        if (!PutEscaped(unit.byte)) return false;
        break_written_ = false;
        break;
    }
    if (!Room(kStepRoom)) return false;
    if (markup_) RecognizeTags();
    MarkClosable();
    return true;
  }

  // Writes a value byte, or the entity that stands for it. The contract checks the room
  // again between a byte and its entity; a byte admitted by the first check but cut off
  // by the second would stay raw, so such a byte is not written at all.
  bool PutEscaped(char byte) {
    if (!Room(kByteRoom)) return false;
    const HtmlEntity* entity = HtmlEntityOf(byte);
    if (entity == nullptr) {
      Put(byte);
      return true;
    }
    if (!Room(kByteRoom + 1)) return false;
    Append(entity->text);
    return true;
  }

  // Whether the source at the read position holds the typed form of the tag with
  // letter, wholly before the source's end.
  bool TypedAt(const TypedForm& form, char letter) const {
    int prefix = Length(form.prefix);
    if (source_length_ - read_ < TypedLength(form)) return false;
    const char* at = source_ + read_;
    char typed = at[prefix];
    return std::memcmp(at, form.prefix, prefix) == 0 &&
           (typed == letter || typed == letter - ('a' - 'A')) &&
           std::memcmp(at + prefix + 1, kTypedEnd, LiteralLength(kTypedEnd)) == 0;
  }
  static int TypedLength(const TypedForm& form) {
    return Length(form.prefix) + 1 + static_cast<int>(LiteralLength(kTypedEnd));
  }

  // An escaped '<' at the end of the output may start a tag the user typed. A tag that
  // opens a closed tag or closes an open one replaces the "&lt;"; a repeated opening or
  // an unmatched closing removes it. The forms are tried in table order, each once,
  // while the output still ends in "&lt;", so after a removal the tests go on at the new
  // read position against the '<' before.
  void RecognizeTags() {
    for (int t = 0; t < kTagCount; ++t) {
      for (const TypedForm& form : kTypedForms) {
        if (!EndsWith(output_, written_, kLessEntity)) return;
        if (!TypedAt(form, kTags[t].letter)) continue;
        written_ -= Length(kLessEntity);
        if (open_[t] == form.closing) {
          Append(form.closing ? kTags[t].closing : kTags[t].opening);
          open_[t] = !form.closing;
        }
        read_ += TypedLength(form);
      }
    }
  }

  int ClosingsLength() const {
    int length = 0;
    for (int t = 0; t < kTagCount; ++t) {
      if (open_[t]) length += Length(kTags[t].closing);
    }
    return length;
  }

  void CloseOpenTags() {
    for (int t = 0; t < kTagCount; ++t) {
      if (open_[t]) Append(kTags[t].closing);
      open_[t] = false;
    }
  }

  // Remembers this point when the closings of the open tags would fit after it.
  void MarkClosable() {
    if (written_ + ClosingsLength() > capacity_ - kTextEndMargin) return;
    closable_.written = written_;
    std::memcpy(closable_.open, open_, sizeof open_);
  }

  // A value cut short by the room still closes the tags it opened: where they fit, at
  // once; otherwise after the last point where they do. Each step ends on a whole
  // byte, entity, tag or "<br>", so any such point is a sound end.
  void CloseCutValue() {
    if (ClosingsLength() == 0) return;
    if (written_ + ClosingsLength() > capacity_ - kTextEndMargin) {
      written_ = closable_.written;
      std::memcpy(open_, closable_.open, sizeof open_);
    }
    CloseOpenTags();
  }

  const char* source_;
  int source_length_;
  int read_ = 0;  // index of the next source byte
  char* output_;
  int capacity_;
  int written_ = 0;             // bytes written to output_
  bool break_written_ = false;  // "<br>" was the last thing written to a value
  bool line_breaks_ = false;    // the field's name ends in "10"
  bool markup_ = false;         // the field's name ends in "biu"
  bool open_[kTagCount] = {};   // the markup tags open in the value so far
  Mark closable_;
};

}  // namespace

int CoderEnviroment(const char* source, char* output, int capacity) {
  if (capacity < 1) return 0;  // not even a terminator fits
  output[0] = '\0';
  Decoder decoder(source, output, capacity);
  decoder.Run();
  output[decoder.written()] = '\0';
  return 0;
}
