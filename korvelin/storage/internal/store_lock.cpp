#include "korvelin/storage/internal/store_lock.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// Opens the directory part of path: "." without a slash, "/" for a file in the root.
int OpenDirectoryOf(const char* path) {
  const char* slash = strrchr(path, '/');
  if (slash == nullptr) return open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
  char directory[PATH_MAX];
  // Longer than any path the system opens: the write fails at its own open anyway.
  if (length >= sizeof directory) return -1;
  memcpy(directory, path, length);
  directory[length] = '\0';
  return open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
}  // namespace

StoreLock::StoreLock(const char* file1) : fd_(OpenDirectoryOf(file1)) {
  if (fd_ < 0) return;
  int locked;
  do {
    locked = flock(fd_, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
}

// Closing the descriptor releases the lock.
StoreLock::~StoreLock() {
  if (fd_ >= 0) close(fd_);
}
