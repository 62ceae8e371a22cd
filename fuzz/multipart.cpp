// Every multipart lookup on any body held in exactly length + 1 bytes, zero after. Each
// lookup is made twice on the same body and must give the same results both times, and
// every address it returns lies inside the body or on the zero byte after it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvelin/form/multipart.h"
#include "fuzz/common.h"

namespace {

struct Request {
  std::string name;       // looked up as a text field
  std::string file_name;  // looked up as a file field
  int limit;
  std::vector<std::string> expected;  // checkbox values
  std::string body;
};

class Body {
 public:
  explicit Body(const std::string& bytes)
      : block_(fuzz::Terminated(bytes)), length_(static_cast<int>(bytes.size())) {}
  char* data() { return block_.data(); }
  int length() const { return length_; }
  // Offset of a returned address, which must be inside the body or the zero after it.
  long Offset(const char* address) {
    if (address == nullptr) return -1;
    FUZZ_CHECK(address >= block_.data() && address <= block_.data() + length_);
    return address - block_.data();
  }
  // A returned text, which must end inside the body or on the zero after it.
  long TextAt(const char* address) {
    long offset = Offset(address);
    if (offset >= 0) FUZZ_CHECK(memchr(address, '\0', length_ + 1 - offset) != nullptr);
    return offset;
  }

 private:
  fuzz::Block block_;
  int length_;
};

struct TextResult {
  long value;
  int length;
  long nonnull;
  int nonnull_length;
  int number;
  bool operator==(const TextResult&) const = default;
};

TextResult TextLookups(Body& body, const Request& r) {
  TextResult result;
  char* value = NameValueFormdata(body.data(), body.length(), r.name.c_str(), &result.length);
  result.value = body.TextAt(value);
  // The value is terminated right after its length (it may hold zero bytes of its own).
  FUZZ_CHECK(value != nullptr ? result.length >= 0 && value + result.length <= body.data() + body.length() &&
                                    value[result.length] == '\0'
                              : result.length == 0);
  char* nonnull =
      NameValueFormdataNonull(body.data(), body.length(), r.name.c_str(), &result.nonnull_length);
  result.nonnull = body.TextAt(nonnull);
  FUZZ_CHECK(nonnull == (value != nullptr ? value : body.data() + body.length()));
  result.number = NameIntValueFormdata(body.data(), body.length(), r.name.c_str(), r.limit);
  return result;
}

struct CheckboxResult {
  int found;
  std::vector<int> present;
  bool operator==(const CheckboxResult&) const = default;
};

CheckboxResult CheckboxLookup(Body& body, const Request& r) {
  fuzz::Checkboxes group(r.expected);
  int found = CheckboxFormdata(body.data(), body.length(), r.name.c_str(), group.count(),
                               group.expected(), group.present());
  FUZZ_CHECK(found == group.Flagged());
  return {found, group.flags()};
}

struct FileResult {
  long data, file_name, content_type;
  int length;
  bool operator==(const FileResult&) const = default;
};

FileResult FileLookup(Body& body, const Request& r) {
  char* file_name = nullptr;
  char* content_type = nullptr;
  int length = -1;
  char* data = FileValueFormdata(body.data(), body.length(), r.file_name.c_str(), &file_name,
                                 &content_type, &length);
  FileResult result{body.Offset(data), body.TextAt(file_name), body.TextAt(content_type), length};
  FUZZ_CHECK(length >= 0 && (data != nullptr || length == 0));
  if (data != nullptr) FUZZ_CHECK(result.data + length <= body.length());
  // The out-parameters that may be null are left alone then.
  FUZZ_CHECK(FileValueFormdata(body.data(), body.length(), r.file_name.c_str(), nullptr, nullptr,
                               nullptr) == data);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  Request r;
  r.name = fuzz::Text(input, 80);
  r.file_name = fuzz::Text(input, 80);
  r.limit = input.ConsumeIntegralInRange(-2, 12);
  int count = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) r.expected.push_back(fuzz::Text(input, 16));
  r.body = input.ConsumeRemainingBytesAsString();

  {
    Body body(r.body);
    TextResult first = TextLookups(body, r);
    FUZZ_CHECK(TextLookups(body, r) == first);
  }
  {
    Body body(r.body);
    CheckboxResult first = CheckboxLookup(body, r);
    FUZZ_CHECK(CheckboxLookup(body, r) == first);
  }
  {
    Body body(r.body);
    FileResult first = FileLookup(body, r);
    FUZZ_CHECK(FileLookup(body, r) == first);
  }
  {
    // Every lookup on one body, in turn: each finds its way through what the
    // others terminated.
    Body body(r.body);
    TextLookups(body, r);
    FileLookup(body, r);
    CheckboxLookup(body, r);
  }
  return 0;
}
