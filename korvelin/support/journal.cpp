#include "korvelin/support/journal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "korvelin/support/internal/append.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/internal/config.h"
#include "korvelin/text/cp1251.h"
#include "korvelin/support/internal/journal_message.h"
#include "korvelin/support/internal/strings.h"

namespace {
constexpr int kJournalNameMax = 8;
constexpr char kJournalDirectory[] = "allerror/";
constexpr char kJournalExtension[] = ".txt";
constexpr std::size_t kJournalPathSize = kDataRootLength + LiteralLength(kJournalDirectory) +
                                         kJournalNameMax + LiteralLength(kJournalExtension) + 1;

// The journal is named after the script: its path less the last four characters
// (".cgi"), from the last slash on, at most eight characters.
void JournalPath(const char* script, char (&path)[kJournalPathSize]) {
  int end = static_cast<int>(strlen(script)) - 4;
  int start = end;
  // The index test comes first, so nothing before the script path is ever read.
  while (start > 0 && script[start - 1] != '/') --start;
  int length = end > start ? end - start : 0;
  if (length > kJournalNameMax) length = kJournalNameMax;
  snprintf(path, sizeof path, "%s%s%.*s%s", kDataRoot, kJournalDirectory, length,
           script + (length ? start : 0), kJournalExtension);
}
}  // namespace

int SaveError(const char* message) {
  const char* script = getenv("SCRIPT_NAME");
  if (script == nullptr || script[0] == '\0') return 0;
  char path[kJournalPathSize];
  JournalPath(script, path);

  int fd = AppendOpen(path);
  if (fd < 0) return 0;
  date today;
  utime now;
  getdate(&today);
  gettime(&now);
  int written = AppendFormatted(fd, "%02d.%02d.%04d, %02d:%02d:%02d\nA=%s  H=%s  IP=%s\n%s\n\n",
                                today.day, today.month, today.year, now.hour, now.minute,
                                now.second, OrNull(getenv("REMOTE_ADDR")),
                                OrNull(getenv("REMOTE_HOST")),
                                OrNull(getenv("HTTP_X_FORWARDED_FOR")), message);
  int closed = AppendClose(fd);
  return written == 0 && closed == 0 ? 1 : 0;
}

char* MallocMemory(int size) {
  // A negative size keeps its sign on widening, so it asks for more than can be had.
  char* block = static_cast<char*>(malloc(static_cast<std::size_t>(static_cast<long>(size))));
  if (block == nullptr) {
    static constexpr auto kNoMemory = Cp1251(u8"Не хватает памяти для указателя (malloc(%ld)=NULL)");
    JournalMessage(kNoMemory.c_str(), static_cast<long>(size));
  }
  return block;
}
