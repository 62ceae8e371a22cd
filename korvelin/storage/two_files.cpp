#include "korvelin/storage/two_files.h"

#include <cstdlib>
#include <cstring>

#include "korvelin/storage/files.h"
#include "korvelin/storage/internal/store_age.h"
#include "korvelin/storage/internal/store_lock.h"
#include "korvelin/storage/internal/write_text.h"
#include "korvelin/support/calendar.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/journal.h"

namespace {
// What the choice of the current file looks at; index 0 is file 1, index 1 file 2.
struct Pair {
  const char* path[2];
  bool present[2];
  ftime time[2];  // all fields zero for a missing file
  int size[2];    // 0 for a missing file
};

Pair Examine(const char* file1, const char* file2) {
  Pair pair{{file1, file2}, {false, false}, {ftime{}, ftime{}}, {0, 0}};
  for (int i = 0; i < 2; ++i) {
    if (!FileExists(pair.path[i])) continue;
    pair.present[i] = true;
    getftime(pair.path[i], &pair.time[i]);
    pair.size[i] = filelen(pair.path[i]);
  }
  return pair;
}

// The number of the current file, 0 when neither is present. Times have whole seconds:
// when both files were written within one second, the one just cut and rewritten by
// a switch is told by being the shorter, so file 2 wins a tie only when strictly shorter.
int CurrentOf(const Pair& pair) {
  if (!pair.present[0] && !pair.present[1]) return 0;
  if (!pair.present[1]) return 1;
  if (!pair.present[0]) return 2;
  int order = TimeCmp(pair.time[0], pair.time[1]);
  if (order != 0) return order > 0 ? 1 : 2;
  return pair.size[1] < pair.size[0] ? 2 : 1;
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
  ftime time1{};
  ftime time2{};
  if (FileExists(file1)) getftime(file1, &time1);
  if (FileExists(file2)) getftime(file2, &time2);
  // Readers decide more simply than writers: equal times leave file 1 current.
  bool second_is_current = TimeCmp(time1, time2) < 0;
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
  return WriteText(pair.path[current - 1], append, text) == WriteOutcome::kWritten ? 0 : -1;
}
