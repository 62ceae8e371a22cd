#include "korvelin/storage/internal/write_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// write(2) may take fewer bytes than offered (a signal, a nearly full disk): keep
// offering the rest until all is taken or the kernel refuses.
bool WriteAll(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    ssize_t taken = write(fd, bytes, length);
    if (taken < 0 && errno == EINTR) continue;
    if (taken <= 0) return false;
    bytes += taken;
    length -= static_cast<size_t>(taken);
  }
  return true;
}
}  // namespace

WriteOutcome WriteText(const char* path, bool append, const char* text) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  int fd = open(path, flags, 0666);
  if (fd < 0) return WriteOutcome::kOpenFailed;
  bool complete = WriteAll(fd, text, strlen(text));
  // Some filesystems (NFS) report a failed write-back only at the close.
  bool closed = close(fd) == 0;
  return complete && closed ? WriteOutcome::kWritten : WriteOutcome::kWriteFailed;
}
