#include "korvelin/storage/internal/write_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "korvelin/support/internal/write_all.h"

WriteOutcome WriteText(const char* path, bool append, const char* text) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  int fd = open(path, flags, 0666);
  if (fd < 0) return WriteOutcome::kOpenFailed;
  bool complete = WriteAll(fd, text, strlen(text));
  // Some filesystems (NFS) report a failed write-back only at the close.
  bool closed = close(fd) == 0;
  return complete && closed ? WriteOutcome::kWritten : WriteOutcome::kWriteFailed;
}
