#include "korvelin/storage/two_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "korvelin/storage/files.h"
#include "korvelin/storage/internal/store_age.h"
#include "korvelin/storage/internal/store_lock.h"
#include "korvelin/storage/internal/write_text.h"
#include "korvelin/support/calendar.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/internal/file_time.h"
#include "korvelin/support/journal.h"

namespace {
// What the choice of the current file looks at; index 0 is file 1, index 1 file 2.
struct Pair {
  const char* path[2];
  bool present[2];
  ftime time[2];             // all fields zero for a missing file
  struct timespec when[2];   // the same moment to the nanosecond; zero for a missing file
  int size[2];               // 0 for a missing file
};

// Presence is FileExists; size and time are those of the file a path leads to, a
// symbolic link followed, as it is when the file is opened.
Pair Examine(const char* file1, const char* file2) {
  Pair pair{{file1, file2}, {false, false}, {ftime{}, ftime{}}, {{0, 0}, {0, 0}}, {0, 0}};
  for (int i = 0; i < 2; ++i) {
    struct stat st;
    if (!FileExists(pair.path[i]) || stat(pair.path[i], &st) != 0) continue;
    pair.present[i] = true;
    FileTimeOf(st.st_mtime, &pair.time[i]);
    pair.when[i] = st.st_mtim;
    pair.size[i] = st.st_size > INT_MAX ? INT_MAX : static_cast<int>(st.st_size);
  }
  return pair;
}

// -1 when a is earlier than b, 1 when later, 0 when the same.
int Compare(const struct timespec& a, const struct timespec& b) {
  if (a.tv_sec != b.tv_sec) return a.tv_sec < b.tv_sec ? -1 : 1;
  if (a.tv_nsec != b.tv_nsec) return a.tv_nsec < b.tv_nsec ? -1 : 1;
  return 0;
}

// Which file was written later: -1 file 1 earlier, 1 later, 0 a true tie. The records
// decide first, as they always have; within their second the nanoseconds do.
int Order(const Pair& pair) {
  int order = TimeCmp(pair.time[0], pair.time[1]);
  return order != 0 ? order : Compare(pair.when[0], pair.when[1]);
}

// The number of the current file, 0 when neither is present. Only files written
// outside the store, or whose time the writer could not set, tie to the nanosecond:
// then the one just cut and rewritten by a switch is told by being the shorter, so
// file 2 wins a tie only when strictly shorter.
int CurrentOf(const Pair& pair) {
  if (!pair.present[0] && !pair.present[1]) return 0;
  if (!pair.present[1]) return 1;
  if (!pair.present[0]) return 2;
  int order = Order(pair);
  if (order != 0) return order > 0 ? 1 : 2;
  return pair.size[1] < pair.size[0] ? 2 : 1;
}

// The file just written must read as the newer one, also when the filesystem's clock has
// not moved on since the other file was written (its stamps may be coarser than a burst
// of writes). Only the writer holding the lock calls this, so no write comes between:
// its time is set just past the other's. Contents stay as they are.
void MakeNewer(const char* written, const struct timespec& other) {
  struct stat st;
  if (stat(written, &st) != 0 || Compare(st.st_mtim, other) > 0) return;
  struct timespec times[2] = {{0, UTIME_OMIT}, other};
  if (++times[1].tv_nsec == 1000000000) {
    times[1].tv_nsec = 0;
    ++times[1].tv_sec;
  }
  // Setting a time needs the file's owner; anyone else leaves it to the tie rule.
  utimensat(AT_FDCWD, written, times, 0);
}

// The other file's age in minutes, against one reading of the clock so that the date
// and the time of day belong to the same moment.
int AgeNow(ftime other) {
  date today;
  utime now;
  getdatetime(&today, &now);
  return StoreAgeMinutes(other, today, now);
}

// Appends the newer text to the string in joined, whose buffer has room for it.
void Join(char* joined, const char* newer, size_t newer_length) {
  memcpy(joined + strlen(joined), newer, newer_length + 1);
}
}  // namespace

int TwoFilesTime(const char* file1, const char* file2) { return CurrentOf(Examine(file1, file2)); }

int TwoFilesRead(int part, const char* file1, const char* file2, char** text) {
  if (text == nullptr) return 0;
  // Readers decide more simply than writers: a true tie leaves file 1 current.
  Pair pair = Examine(file1, file2);
  bool second_is_current = Order(pair) < 0;
  const char* current = second_is_current ? file2 : file1;
  const char* other = second_is_current ? file1 : file2;

  char* newer = nullptr;
  size_t newer_length = 0;
  if (part == 0 || part == 2) {
    newer = FileRead(current, 1, 0, 'n');
    if (newer != nullptr) newer_length = strlen(newer);
  }
  // The older text is read with the newer one's length as spare room, to join in place.
  *text = part == 0 || part == 1 ? FileRead(other, 1, static_cast<int>(newer_length), 'n') : nullptr;
  if (*text == nullptr) {
    *text = newer;
  } else if (newer != nullptr) {
    Join(*text, newer, newer_length);
    free(newer);
  }
  if (*text == nullptr) {
    *text = MallocMemory(1);
    if (*text != nullptr) **text = '\0';
  }
  return 0;
}

int TwoFilesWrite(const char* file1, const char* file2, int measure, int threshold, const char* text) {
  // Held from the choice of the current file to the close, so that concurrent writers
  // never both switch, nor append past a switch that another has just made.
  StoreLock lock(file1);
  Pair pair = Examine(file1, file2);
  int current = CurrentOf(pair);
  if (current == 0) current = 1;
  int other = 3 - current;
  int measured = measure == 1 ? AgeNow(pair.time[other - 1]) : pair.size[current - 1];
  bool append = true;
  if (measured >= threshold) {
    current = other;
    append = false;
  }
  const char* path = pair.path[current - 1];
  WriteOutcome outcome = WriteText(path, append, text);
  if (outcome != WriteOutcome::kOpenFailed) MakeNewer(path, pair.when[2 - current]);
  return outcome == WriteOutcome::kWritten ? 0 : -1;
}
