#include "korvelin/storage/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "korvelin/storage/internal/write_text.h"
#include "korvelin/support/internal/journal_message.h"
#include "korvelin/support/internal/open_regular.h"
#include "korvelin/support/internal/read_up_to.h"
#include "korvelin/text/cp1251.h"

int AttemptCount = 50;

namespace {
constexpr char kEndMarker = 27;

constexpr auto kCantRemove = Cp1251(u8"Не получается удалить файл %s (Can't remove)");
constexpr auto kNoMemory = Cp1251(u8"Не хватает памяти для указателя (malloc(%ld)=NULL) для %s");
constexpr auto kAttemptsSpent = Cp1251(u8"%d раз прочитан файл %s, но не найден последний символ");

// Opening a named pipe must not wait for a writer to appear; O_NONBLOCK changes
// nothing for a regular file.
int OpenForReading(const char* path) { return OpenWithoutWaiting(path, O_RDONLY); }

// The length of the open file, or -1 (journaled) when it has none that can be read
// whole: not a regular file (a directory, a pipe), or 2 GiB and more.
long FileLength(int fd, const char* path) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    JournalMessage("Can't get length of file %s (\"rb\")", path);
    return -1;
  }
  if (st.st_size > INT_MAX) {
    JournalMessage("File %s is too long (%lld bytes)", path, static_cast<long long>(st.st_size));
    return -1;
  }
  return static_cast<long>(st.st_size);
}

}  // namespace

int FileExists(const char* path) {
  int fd = OpenForReading(path);
  if (fd < 0) return 0;
  close(fd);
  return 1;
}

int filelen(const char* path) {
  struct stat st;
  if (lstat(path, &st) != 0) return -1;
  // Beyond what an int holds the size is pinned to the largest int, never wrapped negative.
  return st.st_size > INT_MAX ? INT_MAX : static_cast<int>(st.st_size);
}

int FileDelete(const char* path) {
  if (remove(path) == 0) return 0;
  JournalMessage(kCantRemove.c_str(), path);
  return -1;
}

int FileWrite(const char* path, const char* text) {
  switch (WriteText(path, false, text)) {
    case WriteOutcome::kWritten:
      return 0;
    case WriteOutcome::kOpenFailed:
      JournalMessage("Can't open file %s (\"wb\")", path);
      return -1;
    case WriteOutcome::kWriteFailed:
      break;
  }
  JournalMessage("Can't write file %s (\"wb\")", path);
  return -1;
}

char* FileReadWithParam(const char* path, int attempts, int spare, char mode, int journal) {
  if (spare < 0) spare = 0;
  char* buffer = nullptr;
  long largest = -1;
  int reads = 0;
  for (;;) {
    if (reads >= attempts) {
      free(buffer);
      JournalMessage(kAttemptsSpent.c_str(), reads, path);
      return nullptr;
    }
    ++reads;
    int fd = OpenForReading(path);
    if (fd < 0) {
      free(buffer);
      if (journal) JournalMessage("Can't open file %s (\"rb\")", path);
      return nullptr;
    }
    long length = FileLength(fd, path);
    if (length < 0) {
      close(fd);
      free(buffer);
      return nullptr;
    }
    // A buffer is taken only when the file has grown past every earlier read; a file
    // that shrank fits in the one already held.
    if (length > largest) {
      largest = length;
      free(buffer);
      long size = length + spare + 1;
      buffer = static_cast<char*>(malloc(static_cast<size_t>(size)));
      if (buffer == nullptr) {
        close(fd);
        JournalMessage(kNoMemory.c_str(), size, path);
        return nullptr;
      }
    }
    long delivered = static_cast<long>(ReadUpTo(fd, buffer, static_cast<std::size_t>(length)));
    close(fd);
    buffer[delivered] = '\0';
    // The end marker stays in the text: it tells the caller the writer had finished.
    if (mode != 'y' || (delivered > 0 && buffer[delivered - 1] == kEndMarker)) return buffer;
  }
}

char* FileRead(const char* path, int attempts, int spare, char mode) {
  return FileReadWithParam(path, attempts, spare, mode, 1);
}
