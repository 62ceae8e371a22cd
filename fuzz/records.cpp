// The record-buffer lookups and updates, and CheckboxForm, on any text. Zero-terminated
// texts and bounded areas sit in heap blocks of exactly their length + 1 bytes, outputs
// and updated buffers in blocks of exactly the room their contract promises.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "korvelin/form/records.h"
#include "fuzz/common.h"

namespace {

struct Request {
  std::string name;
  std::string value;  // for the updates
  int limit;
  int number;  // for BufuserIntChange
  std::vector<std::string> expected;  // checkbox values
  std::string text;                   // the record buffer or bounded area
};

// Index of the value of the first record "name=" that starts at 0 or after an LF (or,
// in a bounded area, after a zero byte) within the first length bytes; -1 when none.
int FirstRecord(const char* text, std::size_t length, const std::string& name) {
  std::string pattern = name + "=";
  for (std::size_t start = 0; start + pattern.size() <= length; ++start) {
    bool record_start = start == 0 || text[start - 1] == '\n' || text[start - 1] == '\0';
    if (record_start && memcmp(text + start, pattern.data(), pattern.size()) == 0)
      return static_cast<int>(start + pattern.size());
  }
  return -1;
}

// Bytes of the value at start, up to CR, LF, zero or the end.
int ValueLength(const char* text, std::size_t length, int start) {
  int count = 0;
  while (start + count < static_cast<int>(length) && text[start + count] != '\r' &&
         text[start + count] != '\n' && text[start + count] != '\0')
    ++count;
  return count;
}

void ZeroTerminatedLookups(const Request& r) {
  fuzz::Block buffer = fuzz::Terminated(r.text);
  const char* text = buffer.data();
  std::size_t length = strlen(text);
  int at = FirstRecord(text, length, r.name);
  int value_length = at < 0 ? 0 : ValueLength(text, length, at);
  int copied = r.limit < 0 ? 0 : r.limit == 0 || r.limit > value_length ? value_length : r.limit;

  FUZZ_CHECK(SubStrUserPos(text, r.name.c_str()) == at);
  int length_out = -1;
  FUZZ_CHECK(NameValueLen(text, r.name.c_str(), &length_out) == at);
  FUZZ_CHECK(length_out == value_length);
  length_out = -1;
  char* pointer = NameValuePtr(buffer.data(), r.name.c_str(), &length_out);
  FUZZ_CHECK(pointer == (at < 0 ? nullptr : buffer.data() + at) && length_out == value_length);

  fuzz::Block output(static_cast<std::size_t>(copied) + 1);
  int stopped = NameValue(text, output.data(), r.name.c_str(), r.limit);
  FUZZ_CHECK(stopped == (at < 0 ? -1 : at + copied));
  FUZZ_CHECK(std::string(output.data()) == (at < 0 ? "" : std::string(text + at, copied)));
  int number = 0;
  FUZZ_CHECK(NameIntValue(text, &number, r.name.c_str(), r.limit) == stopped);
  if (at < 0) FUZZ_CHECK(number == -1);
}

// The buffer after BufuserChange, in a block of exactly the room it needs.
std::string Changed(const std::string& text, const std::string& value, const std::string& name,
                    bool as_number, int number) {
  int at = FirstRecord(text.c_str(), text.size(), name);
  // The buffer holds the text before the change, and then the changed text.
  std::size_t room = at < 0 ? text.size() + name.size() + value.size() + 3
                            : std::max(text.size() + 1, text.size() + 1 + value.size() -
                                                            ValueLength(text.c_str(), text.size(), at));
  fuzz::Block buffer(room);
  memcpy(buffer.data(), text.c_str(), text.size() + 1);
  if (as_number)
    BufuserIntChange(buffer.data(), number, name.c_str());
  else
    BufuserChange(buffer.data(), value.c_str(), name.c_str());
  return buffer.data();
}

void Updates(const Request& r) {
  std::string text = r.text.c_str();
  int at = FirstRecord(text.c_str(), text.size(), r.name);
  std::string expected =
      at < 0 ? text + r.name + "=" + r.value + "\n"
             : text.substr(0, at) + r.value + text.substr(at + ValueLength(text.c_str(), text.size(), at));
  FUZZ_CHECK(Changed(text, r.value, r.name, false, 0) == expected);
  std::string digits = std::to_string(r.number);
  FUZZ_CHECK(Changed(text, digits, r.name, true, r.number) == Changed(text, digits, r.name, false, 0));
}

void BoundedLookups(const Request& r) {
  int length = static_cast<int>(r.text.size());
  fuzz::Block area = fuzz::Terminated(r.text);
  int at = FirstRecord(area.data(), r.text.size(), r.name);
  int rest = at < 0 ? 0 : length - at;
  int most = r.limit == 0 || r.limit > rest ? rest : r.limit;
  int value_length = at < 0 ? 0 : std::min(most, ValueLength(area.data(), r.text.size(), at));
  char* expected = at < 0 || value_length <= 0 ? nullptr : area.data() + at;

  char* value = NameValuePtrZero(area.data(), length, r.name.c_str(), r.limit);
  FUZZ_CHECK(value == expected);
  if (value != nullptr) FUZZ_CHECK(strlen(value) == static_cast<std::size_t>(value_length));

  fuzz::Block again = fuzz::Terminated(r.text);
  char* string = NameValueString(again.data(), length, r.name.c_str(), r.limit);
  FUZZ_CHECK(string == (expected != nullptr ? again.data() + at : again.data() + length));

  fuzz::Block boxes = fuzz::Terminated(r.text);
  fuzz::Checkboxes group(r.expected);
  int found = CheckboxForm(boxes.data(), length, r.name.c_str(), group.count(), group.expected(),
                           group.present());
  FUZZ_CHECK(found == group.Flagged());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  Request r;
  r.name = fuzz::Text(input, 48);
  r.value = fuzz::Text(input, 48);
  r.limit = input.ConsumeIntegralInRange(-2, 40);
  r.number = input.ConsumeIntegral<int>();
  int count = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) r.expected.push_back(fuzz::Text(input, 16));
  r.text = input.ConsumeRemainingBytesAsString();

  ZeroTerminatedLookups(r);
  Updates(r);
  BoundedLookups(r);
  return 0;
}
