#include "korvelin/support/internal/append.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "korvelin/support/internal/open_regular.h"

int AppendOpen(const char* path) { return OpenRegularForWriting(path, O_APPEND); }

namespace {
// One write(2) for the whole text: a second write could land after another
// process's line, so a short write is reported rather than completed.
int WriteOnce(int fd, const char* text, size_t length) {
  ssize_t written;
  do {
    written = write(fd, text, length);
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(length) ? 0 : -1;
}
}  // namespace

int AppendFormatted(int fd, const char* format, ...) {
  char local[1024];
  va_list args;
  va_start(args, format);
  int length = vsnprintf(local, sizeof local, format, args);
  va_end(args);
  if (length < 0) return -1;
  if (static_cast<size_t>(length) < sizeof local) return WriteOnce(fd, local, length);

  // Long values (a referer, a message) do not fit the local area: compose on the heap.
  char* text = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
  if (text == nullptr) return -1;
  va_start(args, format);
  vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
  va_end(args);
  int result = WriteOnce(fd, text, static_cast<size_t>(length));
  free(text);
  return result;
}

int AppendClose(int fd) { return close(fd) == 0 ? 0 : -1; }
