#include "korvelin/support/journal.h"

#include <unistd.h>

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

// The message as written into an entry. It may have several lines, but never an empty
// one, which would end the entry early and let the rest pass for an entry of its own:
// a line feed that would start one (first, doubled or last) shows as a space, and so
// does every CR.
class MessageLines : public SpacedText {
 public:
  explicit MessageLines(const char* message)
      : SpacedText(message, [](const char* text, std::size_t i) {
          if (text[i] == '\r') return true;
          return text[i] == '\n' && (i == 0 || text[i - 1] == '\n' || text[i + 1] == '\0');
        }) {}
};

// One entry: the date and time, the client, the message and the empty line that ends it,
// in one write.
struct Entry {
  date today;
  utime now;
  OneLine address{getenv("REMOTE_ADDR")};
  OneLine host{getenv("REMOTE_HOST")};
  OneLine forwarded{getenv("HTTP_X_FORWARDED_FOR")};
  MessageLines message;

  explicit Entry(const char* text) : message(text) {
    // One reading of the clock: a date and a time of day of the same moment.
    getdatetime(&today, &now);
  }

  int WriteTo(int fd) const {
    return AppendFormatted(fd, "%02d.%02d.%04d, %02d:%02d:%02d\nA=%s  H=%s  IP=%s\n%s\n\n",
                           today.day, today.month, today.year, now.hour, now.minute, now.second,
                           address.c_str(), host.c_str(), forwarded.c_str(), message.c_str());
  }
};
}  // namespace

int SaveError(const char* message) {
  const char* script = getenv("SCRIPT_NAME");
  if (script == nullptr || script[0] == '\0') return 0;
  char path[kJournalPathSize];
  JournalPath(script, path);

  Entry entry(message);
  int fd = AppendOpen(path);
  if (fd >= 0) {
    int written = entry.WriteTo(fd);
    if (AppendClose(fd) == 0 && written == 0) return 1;
  }
  // The web server keeps what a program writes on standard error in its own error log:
  // a journal that cannot be opened or written loses nothing there.
  entry.WriteTo(STDERR_FILENO);
  return 0;
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
