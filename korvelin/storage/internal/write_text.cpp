#include "korvelin/storage/internal/write_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "korvelin/support/internal/open_regular.h"
#include "korvelin/support/internal/write_all.h"

WriteOutcome WriteText(const char* path, bool append, const char* text) {
  int fd = OpenRegularForWriting(path, append ? O_APPEND : 0);
  if (fd < 0) return WriteOutcome::kOpenFailed;
  // Cut only once the file is known to be a regular one.
  bool complete = (append || ftruncate(fd, 0) == 0) && WriteAll(fd, text, strlen(text));
  // Some filesystems (NFS) report a failed write-back only at the close.
  bool closed = close(fd) == 0;
  return complete && closed ? WriteOutcome::kWritten : WriteOutcome::kWriteFailed;
}
