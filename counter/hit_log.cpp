#include "counter/hit_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "counter/guards.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/internal/append.h"
#include "korvelin/support/internal/config.h"
#include "korvelin/support/internal/journal_message.h"
#include "korvelin/support/internal/open_regular.h"
#include "korvelin/support/internal/strings.h"

namespace {
constexpr int kCounterNameMax = 50;
constexpr char kHitLogDirectory[] = "counters/";
constexpr char kHitLogExtension[] = ".log";
// How long a hit waits for the log's lock before it writes without it.
constexpr int kLockTries = 500;
constexpr timespec kLockPause = {0, 200 * 1000};  // 0.2 ms: 0.1 s in all
constexpr std::size_t kHitLogPathSize = kDataRootLength + LiteralLength(kHitLogDirectory) +
                                        kCounterNameMax + LiteralLength(kHitLogExtension) + 1;
static_assert(kHitLogPathSize - 1 <= kLongestDataPath, "the journal's messages must hold the path");

// The hit log is opened for reading too, so its last byte can be looked at; a log the
// server may write but not read is still written, without that look. Whether it is a
// regular file is told by the one fstat taken under the lock (Inspect), since each
// system call counts at FastCGI rates.
int OpenHitLog(const char* path) {
  int flags = O_APPEND | (kKnownCountersOnly ? 0 : O_CREAT);
  int fd = OpenWithoutWaiting(path, O_RDWR | flags);
  if (fd < 0 && errno == EACCES) fd = OpenWithoutWaiting(path, O_WRONLY | flags);
  return fd;
}

// The lock orders the counter's own hits; readers and the line's single write need
// none. Anyone who may read the log may also lock it, so the wait is bounded: a hit
// is never held up for long, and without the lock the worst outcome is that a hit
// being written by another request looks torn and the next line starts empty.
void LockBriefly(int fd) {
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR)) return;
    nanosleep(&kLockPause, nullptr);
  }
}

enum class HitLogState { kWhole, kTorn, kNotRegular };

// A line cut short by a full disk has no line feed: the next hit must start a line of
// its own rather than finish that one. Called under the log's lock, since the file's
// size grows page by page while another hit is being written, and that hit's unfinished
// end would look like a torn line.
HitLogState Inspect(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return HitLogState::kNotRegular;
  char last;
  bool torn = st.st_size > 0 && pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n';
  return torn ? HitLogState::kTorn : HitLogState::kWhole;
}
}  // namespace

void LogHit(const char* name, std::size_t name_length, const CounterRequest& request) {
  int cut = name_length < kCounterNameMax ? static_cast<int>(name_length) : kCounterNameMax;
  // A slash would lead the path out of the counters directory.
  if (memchr(name, '/', static_cast<std::size_t>(cut)) != nullptr) {
    JournalMessage("Refused counter name %.*s (it contains a slash)", cut, name);
    return;
  }
  char path[kHitLogPathSize];
  snprintf(path, sizeof path, "%s%s%.*s%s", kDataRoot, kHitLogDirectory, cut, name,
           kHitLogExtension);

  int fd = OpenHitLog(path);
  if (fd < 0) {
    // Only the operator opens a counter: a name nobody created is no failure.
    if (!(kKnownCountersOnly && errno == ENOENT)) JournalMessage("Can't open file %s (\"a\")", path);
    return;
  }
  LockBriefly(fd);
  HitLogState state = Inspect(fd);
  if (state == HitLogState::kNotRegular) {
    close(fd);
    JournalMessage("Can't open file %s (\"a\")", path);
    return;
  }
  date today;
  utime now;
  getdatetime(&today, &now);  // one reading: a hit at midnight gets the date of its time
  // The line feed that mends a torn line goes out in the same write as the hit line.
  int written = AppendFormatted(
      fd, "%sDate: %02d.%02d.%04d Time: %02d:%02d:%02d A:%-15s H:%-15s IP:%-15s FROM:%s\n",
      state == HitLogState::kTorn ? "\n" : "", today.day, today.month, today.year, now.hour,
      now.minute, now.second, OneLine(request.remote_addr).c_str(),
      OneLine(request.remote_host).c_str(), OneLine(request.forwarded_for).c_str(),
      OneLine(request.referer).c_str());
  if (AppendClose(fd) != 0 || written != 0) JournalMessage("Can't write file %s (\"a\")", path);
}
