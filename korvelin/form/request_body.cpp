#include "korvelin/form/request_body.h"

#include <strings.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "korvelin/support/internal/read_up_to.h"
#include "korvelin/support/journal.h"

namespace {
struct FormType {
  const char* name;
  BodyType type;
};
constexpr FormType kFormTypes[] = {
    {"application/x-www-form-urlencoded", BodyUrlencoded},
    {"multipart/form-data", BodyMultipart},
};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// The kind a CONTENT_TYPE value names, in any case and with or without parameters
// ("multipart/form-data; boundary=..."); 0 for anything else.
int FormTypeOf(const char* value) {
  if (value == nullptr) return 0;
  while (IsSpace(*value)) ++value;
  for (const FormType& form : kFormTypes) {
    std::size_t n = std::strlen(form.name);
    if (strncasecmp(value, form.name, n) != 0) continue;
    const char* rest = value + n;
    while (IsSpace(*rest)) ++rest;
    if (*rest == '\0' || *rest == ';') return form.type;
  }
  return 0;
}

// CONTENT_LENGTH as a count of bytes, pinned to INT_MAX: a value of any number of
// digits is read without overflow, and anything but digits is refused.
BodyStatus AnnouncedLength(const char* value, int* count) {
  if (value == nullptr || value[0] == '\0') return BodyNoLength;
  long long n = 0;
  for (const char* c = value; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return BodyBadLength;
    if (n <= INT_MAX) n = n * 10 + (*c - '0');
  }
  *count = n > INT_MAX ? INT_MAX : static_cast<int>(n);
  return BodyRead;
}

BodyStatus ReadBody(int limit, int spare, int types, char** body, int* length, int* type) {
  int kind = FormTypeOf(getenv("CONTENT_TYPE"));
  if (type != nullptr) *type = kind;
  if (types != 0 && (kind & types) == 0) return BodyWrongType;

  int announced = 0;
  BodyStatus status = AnnouncedLength(getenv("CONTENT_LENGTH"), &announced);
  if (status != BodyRead) return status;
  if (length != nullptr) *length = announced;
  if (spare < 0) spare = 0;
  // The block's size, the body, its zero and the spare bytes, must fit in an int.
  if (announced > limit || announced > INT_MAX - 1 - spare) return BodyTooLong;

  char* block = MallocMemory(announced + 1 + spare);
  if (block == nullptr) return BodyNoMemory;
  // read(2), not a stdio stream, which would buffer bytes beyond the announced ones.
  if (ReadUpTo(STDIN_FILENO, block, static_cast<std::size_t>(announced)) !=
      static_cast<std::size_t>(announced)) {
    free(block);
    return BodyShort;
  }
  std::memset(block + announced, 0, static_cast<std::size_t>(spare) + 1);
  *body = block;
  return BodyRead;
}
}  // namespace

BodyStatus ReadRequestBody(int limit, int spare, int types, char** body, int* length, int* type) {
  if (length != nullptr) *length = 0;
  char* block = nullptr;
  BodyStatus status = ReadBody(limit, spare, types, &block, length, type);
  if (body != nullptr) {
    *body = block;
  } else {
    free(block);
  }
  return status;
}
