#include "request_body.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <korvelin/support/journal.h>

namespace {
// The value of CONTENT_LENGTH if it is 0 to limit written in decimal digits alone, else -1.
long DeclaredLength(const char* text, int limit) {
  if (text == nullptr || *text == '\0') return -1;
  long value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return -1;
    value = value * 10 + (*c - '0');
    if (value > limit) return -1;  // checked per digit, so the value never overflows
  }
  return value;
}
}  // namespace

char* ReadRequestBody(int limit, int* length) {
  long wanted = DeclaredLength(getenv("CONTENT_LENGTH"), limit);
  if (wanted < 0) return nullptr;
  // The zero after the body ends the decoder's source and is the byte that the
  // multipart lookups require after the body.
  char* body = MallocMemory(static_cast<int>(wanted) + 1);
  if (body == nullptr) return nullptr;
  long got = 0;
  while (got < wanted) {
    ssize_t n = read(STDIN_FILENO, body + got, static_cast<size_t>(wanted - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {  // the client sent less than it announced
      free(body);
      return nullptr;
    }
    got += n;
  }
  body[got] = '\0';
  *length = static_cast<int>(got);
  return body;
}
