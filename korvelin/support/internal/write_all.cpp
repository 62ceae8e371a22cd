#include "korvelin/support/internal/write_all.h"

#include <unistd.h>

#include <cerrno>

bool WriteAll(int fd, const char* bytes, std::size_t length) {
  while (length > 0) {
    ssize_t taken = write(fd, bytes, length);
    if (taken < 0 && errno == EINTR) continue;
    if (taken <= 0) return false;
    bytes += taken;
    length -= static_cast<std::size_t>(taken);
  }
  return true;
}
