#include "korvelin/form/multipart.h"

#include <algorithm>
#include <cstring>

#include "korvelin/form/internal/values.h"
#include "korvelin/support/internal/strings.h"
#include "korvelin/text/edit.h"

namespace {

constexpr int kTextBoundaryMax = 70;
constexpr int kFileBoundaryMax = 450;

constexpr char kDisposition[] = "Content-Disposition: form-data; name=\"";
constexpr int kDispositionLength = static_cast<int>(LiteralLength(kDisposition));
constexpr char kTextNameEnd[] = "\"";
constexpr char kFileNameEnd[] = "\"; filename=\"";
// Passed over unread.
constexpr int kContentTypeLabel = static_cast<int>(LiteralLength("Content-Type: "));
constexpr int kCrLf = static_cast<int>(LiteralLength("\r\n"));

// One body as the lookups see it: its boundary line, and the end pattern
// (LF + boundary line) that closes every value and file.
class Body {
 public:
  Body(char* bytes, int length, int boundary_max)
      : bytes_(bytes), length_(length), boundary_(BoundaryLength(boundary_max)) {
    if (boundary_ == 0) return;
    end_pattern_[0] = '\n';
    std::memcpy(end_pattern_ + 1, bytes_, boundary_);
    end_pattern_[boundary_ + 1] = '\0';
  }

  bool usable() const { return boundary_ > 0; }

  // Index just past the first header "boundary CR LF Content-Disposition:
  // form-data; name=\"<name><name_end>", or -1. The fixed part is searched as one
  // pattern; the name and its end are compared in place at each match, so a name
  // of any length fits. Two matches lie at least 40 bytes apart (the fixed text
  // after the boundary holds its only CR), so the comparisons stay linear.
  int FindHeader(const char* name, const char* name_end) const {
    char prefix[kFileBoundaryMax + kCrLf + kDispositionLength + 1];
    std::memcpy(prefix, bytes_, boundary_);
    prefix[boundary_] = '\r';
    prefix[boundary_ + 1] = '\n';
    std::memcpy(prefix + boundary_ + kCrLf, kDisposition, kDispositionLength + 1);
    int prefix_length = boundary_ + kCrLf + kDispositionLength;

    size_t name_length = std::strlen(name);
    size_t end_length = std::strlen(name_end);
    for (int at = SubAbsStrPos(bytes_, length_, 0, prefix); at < length_;
         at = SubAbsStrPos(bytes_, length_, at + 1, prefix)) {
      int tail = at + prefix_length;
      if (static_cast<size_t>(length_ - tail) >= name_length + end_length &&
          std::memcmp(bytes_ + tail, name, name_length) == 0 &&
          std::memcmp(bytes_ + tail + name_length, name_end, end_length) == 0) {
        return tail + static_cast<int>(name_length + end_length);
      }
    }
    return -1;
  }

  // Index of the LF that begins the next boundary line at or after from, or the body's length.
  int ContentEnd(int from) const { return SubAbsStrPos(bytes_, length_, from, end_pattern_); }

  // Index of the first CR or zero byte at or after from, or the body's length.
  int LineStop(int from) const {
    const char* cr = static_cast<const char*>(std::memchr(bytes_ + from, '\r', length_ - from));
    int limit = cr != nullptr ? static_cast<int>(cr - bytes_) : length_;
    const char* zero = static_cast<const char*>(std::memchr(bytes_ + from, '\0', limit - from));
    return zero != nullptr ? static_cast<int>(zero - bytes_) : limit;
  }

  bool IsCr(int at) const { return at < length_ && bytes_[at] == '\r'; }

  // The index count bytes after at, stopping on the zero byte after the body.
  int Past(int at, int count) const { return count >= length_ - at ? length_ : at + count; }

 private:
  // Length of the first line if it ends in a CR within 1 to most bytes and
  // holds no zero byte; 0 otherwise (the body is then unusable).
  int BoundaryLength(int most) const {
    int scan = std::min(length_, most + 1);
    for (int i = 0; i < scan; ++i) {
      if (bytes_[i] == '\r') return i;
      if (bytes_[i] == '\0') return 0;
    }
    return 0;
  }

  char* bytes_;
  int length_;
  int boundary_;
  char end_pattern_[1 + kFileBoundaryMax + 1] = {};
};

// Finds the text value of name, terminates it in place and returns its index,
// with its length through value_length; -1 when absent.
int TextValue(char* body, int length, const char* name, int* value_length) {
  *value_length = 0;
  Body parts(body, length, kTextBoundaryMax);
  if (!parts.usable()) return -1;
  int header_end = parts.FindHeader(name, kTextNameEnd);
  if (header_end < 0) return -1;
  int start = parts.Past(header_end, 2 * kCrLf);
  // A header reaching the body's end leaves the empty string on the zero byte after it.
  if (start == length) return length;
  int end = parts.ContentEnd(start) - 1;  // the CR before the LF + boundary line
  // A boundary line right at the start: an empty value, kept on its terminator
  // (written over the last byte of the blank line, so the next boundary stays).
  if (end < start) start = end;
  body[end] = '\0';
  *value_length = end - start;
  return start;
}

}  // namespace

char* NameValueFormdata(char* body, int body_length, const char* name, int* length) {
  int value_length;
  int start = TextValue(body, body_length, name, &value_length);
  if (length != nullptr) *length = value_length;
  return start < 0 ? nullptr : body + start;
}

char* NameValueFormdataNonull(char* body, int body_length, const char* name, int* length) {
  char* value = NameValueFormdata(body, body_length, name, length);
  return value != nullptr ? value : body + body_length;
}

int NameIntValueFormdata(char* body, int body_length, const char* name, int limit) {
  int value_length;
  int start = TextValue(body, body_length, name, &value_length);
  if (start < 0) return 0;
  int count = limit != 0 && limit < value_length ? limit : value_length;
  return DecimalWrapped(body + start, count);
}

int CheckboxFormdata(char* body, int body_length, const char* name, int count, const char* const* expected, int* present) {
  ClearPresent(count, present);
  int found = 0;
  int from = 0;  // the rest of the body, which begins with a boundary line
  while (from < body_length) {
    int value_length;
    int start = TextValue(body + from, body_length - from, name, &value_length);
    // No further part (the closing line "--boundary--" makes a longer first
    // line), an empty value, or a value running to the body's end ends the walk.
    if (start < 0 || body[from + start] == '\0') break;
    found += MarkPresent(body + from + start, count, expected, present);
    from += start + value_length + kCrLf;  // past the value, its terminator and the LF
  }
  return found;
}

char* FileValueFormdata(char* body, int body_length, const char* name, char** file_name, char** content_type,
                        int* length) {
  if (length != nullptr) *length = 0;
  Body parts(body, body_length, kFileBoundaryMax);
  if (!parts.usable()) return nullptr;
  int name_at = parts.FindHeader(name, kFileNameEnd);
  if (name_at < 0) {
    if (file_name != nullptr) *file_name = nullptr;
    if (content_type != nullptr) *content_type = nullptr;
    return nullptr;
  }
  if (file_name != nullptr) *file_name = body + name_at;

  // The file name line ends in its closing quote and CR. A zero byte met first
  // stands for the quote: an earlier call cut the name there. Positions that
  // would run past the body stop on the zero byte after it.
  int stop = parts.LineStop(name_at);
  int next;
  if (parts.IsCr(stop)) {
    if (stop > name_at) body[stop - 1] = '\0';  // the closing quote; never the opening one
    next = parts.Past(stop, kCrLf);
  } else {
    next = parts.Past(stop, 1 + kCrLf);
  }

  if (parts.IsCr(next)) {  // a blank line: the part has no Content-Type line
    if (file_name != nullptr && content_type != nullptr) *content_type = body + name_at;
    return nullptr;
  }
  int type_at = parts.Past(next, kContentTypeLabel);
  if (content_type != nullptr) *content_type = body + type_at;
  stop = parts.LineStop(type_at);
  if (parts.IsCr(stop)) body[stop] = '\0';

  int data = parts.Past(stop, 2 * kCrLf);
  int end = parts.ContentEnd(data) - 1;
  if (length != nullptr) *length = std::max(end - data, 0);
  return body + data;
}
