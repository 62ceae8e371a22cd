#include "korvelin/support/internal/open_regular.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int OpenWithoutWaiting(const char* path, int flags) {
  return open(path, O_CLOEXEC | O_NONBLOCK | O_NOCTTY | flags, 0666);
}

int OpenRegularForWriting(const char* path, int flags) {
  int fd = OpenWithoutWaiting(path, O_WRONLY | O_CREAT | flags);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}
