#include "korvelin/form/records.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "korvelin/form/internal/values.h"
#include "korvelin/support/internal/strings.h"
#include "korvelin/text/edit.h"

namespace {

bool EndsRecord(char c) { return c == '\n' || c == '\0'; }
bool EndsValue(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Index of the value of the first record "name=" in area[0, length), or -1. A
// record starts at 0 or right after an LF or a zero byte. The name is compared in
// place at each record start, so no pattern is built and any name length works;
// for a name without LF each comparison stops within its own line, which keeps
// the scan linear in the area's length.
int FindValue(const char* area, int length, const char* name) {
  size_t name_length = std::strlen(name);
  int start = 0;
  while (start < length) {
    size_t room = static_cast<size_t>(length - start);
    if (room > name_length && std::memcmp(area + start, name, name_length) == 0 && area[start + name_length] == '=') {
      return start + static_cast<int>(name_length) + 1;
    }
    while (start < length && !EndsRecord(area[start])) ++start;
    ++start;  // past the LF or zero byte that ended the record
  }
  return -1;
}

// Bytes of the value at start: up to CR, LF, a zero byte or end, and at most most.
int ValueLength(const char* area, int start, int end, int most) {
  int count = 0;
  while (count < most && start + count < end && !EndsValue(area[start + count])) ++count;
  return count;
}


// The zero-terminated lookups read a limit of 0 as no limit.
int MostBytes(int limit) { return limit == 0 ? INT_MAX : limit; }

// Finds the value of name in the area, terminates it in place and returns its
// index, with its length through count; -1 when it is absent or empty.
int TerminateValue(char* area, int length, const char* name, int limit, int* count) {
  *count = 0;
  if (length <= 0) return -1;
  int start = FindValue(area, length, name);
  if (start < 0) return -1;
  int rest = length - start;
  if (limit == 0 || limit > rest) limit = rest;
  *count = ValueLength(area, start, length, limit);
  if (*count == 0) return -1;  // an empty value counts as absent; later records are not tried
  // Over the CR, LF or zero that ended the value, or on the byte after the area.
  area[start + *count] = '\0';
  return start;
}

}  // namespace

int SubStrUserPos(const char* buffer, const char* name) { return FindValue(buffer, TextLength(buffer), name); }

int NameValue(const char* buffer, char* output, const char* name, int limit) {
  int length = TextLength(buffer);
  int start = FindValue(buffer, length, name);
  int count = start < 0 ? 0 : ValueLength(buffer, start, length, MostBytes(limit));
  if (output != nullptr) CopySubstr(buffer, start < 0 ? 0 : start, count, output);
  return start < 0 ? -1 : start + count;
}

int NameValueLen(const char* buffer, const char* name, int* length) {
  int text_length = TextLength(buffer);
  int start = FindValue(buffer, text_length, name);
  if (length != nullptr) *length = start < 0 ? 0 : ValueLength(buffer, start, text_length, INT_MAX);
  return start;
}

char* NameValuePtr(char* buffer, const char* name, int* length) {
  int start = NameValueLen(buffer, name, length);
  return start < 0 ? nullptr : buffer + start;
}

int NameIntValue(const char* buffer, int* number, const char* name, int limit) {
  int length = TextLength(buffer);
  int start = FindValue(buffer, length, name);
  if (start < 0) {
    if (number != nullptr) *number = -1;
    return -1;
  }
  int count = ValueLength(buffer, start, length, MostBytes(limit));
  if (number != nullptr) *number = DecimalWrapped(buffer + start, count);
  return start + count;
}

void BufuserChange(char* buffer, const char* value, const char* name) {
  int length = TextLength(buffer);
  int start = FindValue(buffer, length, name);
  if (start >= 0) {
    // The record's own line end (LF or CR LF) stays after the new value.
    ChangeSubstrWithLen(buffer, value, start, ValueLength(buffer, start, length, INT_MAX));
    return;
  }
  // A new record goes straight after the text, which is empty or ends in a line end.
  char* end = buffer + length;
  size_t name_length = std::strlen(name);
  size_t value_length = std::strlen(value);
  std::memcpy(end, name, name_length);
  end[name_length] = '=';
  std::memcpy(end + name_length + 1, value, value_length);
  end[name_length + 1 + value_length] = '\n';
  end[name_length + 2 + value_length] = '\0';
}

void BufuserIntChange(char* buffer, int number, const char* name) {
  char digits[sizeof "-2147483648"];  // the longest int
  std::snprintf(digits, sizeof digits, "%d", number);
  BufuserChange(buffer, digits, name);
}

char* NameValuePtrZero(char* area, int area_length, const char* name, int limit) {
  int count;
  int start = TerminateValue(area, area_length, name, limit, &count);
  return start < 0 ? nullptr : area + start;
}

char* NameValueString(char* area, int area_length, const char* name, int limit) {
  char* value = NameValuePtrZero(area, area_length, name, limit);
  return value != nullptr ? value : area + area_length;
}

int CheckboxForm(char* area, int area_length, const char* name, int count, const char* const* expected, int* present) {
  ClearPresent(count, present);
  int found = 0;
  int from = 0;  // the rest of the area still to walk begins here
  while (from < area_length) {
    int value_length;
    int start = TerminateValue(area + from, area_length - from, name, area_length, &value_length);
    if (start < 0) break;  // no further record, or an empty value: the walk ends
    found += MarkPresent(area + from + start, count, expected, present);
    // Resume right after the value's line end: the zero written over its CR or
    // LF, and the LF of a CR LF. A rest that begins there begins a record.
    from += start + value_length + 1;
    if (from < area_length && area[from] == '\n') ++from;
  }
  return found;
}
