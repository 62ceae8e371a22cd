#include "korvelin/support/internal/read_up_to.h"

#include <unistd.h>

#include <cerrno>

std::size_t ReadUpTo(int fd, char* buffer, std::size_t length) {
  std::size_t delivered = 0;
  while (delivered < length) {
    ssize_t got = read(fd, buffer + delivered, length - delivered);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    delivered += static_cast<std::size_t>(got);
  }
  return delivered;
}
