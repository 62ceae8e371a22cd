#include "counter/counter.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "korvelin/support/internal/append.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/internal/config.h"
#include "korvelin/support/internal/journal_message.h"
#include "korvelin/support/internal/strings.h"
#include "korvelin/support/internal/write_all.h"

#ifndef KORVELIN_HOME_URL
#error "KORVELIN_HOME_URL must be defined by the build"
#endif

namespace {
constexpr char kHomeUrl[] = KORVELIN_HOME_URL;
constexpr std::size_t kQueryMax = 1000;
constexpr int kCounterNameMax = 50;

constexpr char kHitLogDirectory[] = "counters/";
constexpr char kHitLogExtension[] = ".log";
constexpr std::size_t kHitLogPathSize = kDataRootLength + LiteralLength(kHitLogDirectory) +
                                        kCounterNameMax + LiteralLength(kHitLogExtension) + 1;
static_assert(kHitLogPathSize - 1 <= kLongestDataPath, "the journal's messages must hold the path");

constexpr char kLocationLabel[] = "Location: ";
constexpr char kHeaderEnd[] = "\n\n";
constexpr std::size_t kLongestTarget = kQueryMax > LiteralLength(kHomeUrl) ? kQueryMax : LiteralLength(kHomeUrl);

// The whole answer leaves in one write, so a client never sees half a header.
void SendLocation(int fd, const char* target, std::size_t length) {
  char response[LiteralLength(kLocationLabel) + kLongestTarget + LiteralLength(kHeaderEnd)];
  std::size_t used = 0;
  memcpy(response, kLocationLabel, LiteralLength(kLocationLabel));
  used += LiteralLength(kLocationLabel);
  memcpy(response + used, target, length);
  used += length;
  memcpy(response + used, kHeaderEnd, LiteralLength(kHeaderEnd));
  used += LiteralLength(kHeaderEnd);
  WriteAll(fd, response, used);  // a visitor who has left needs no answer
}

// Appends the visit to the counter's hit log; a hit that cannot be logged is journaled.
void LogHit(const char* name, std::size_t name_length) {
  int cut = name_length < kCounterNameMax ? static_cast<int>(name_length) : kCounterNameMax;
  // A slash would lead the path out of the counters directory.
  if (memchr(name, '/', static_cast<std::size_t>(cut)) != nullptr) {
    JournalMessage("Refused counter name %.*s (it contains a slash)", cut, name);
    return;
  }
  char path[kHitLogPathSize];
  snprintf(path, sizeof path, "%s%s%.*s%s", kDataRoot, kHitLogDirectory, cut, name,
           kHitLogExtension);

  int fd = AppendOpen(path);
  if (fd < 0) {
    JournalMessage("Can't open file %s (\"a\")", path);
    return;
  }
  date today;
  utime now;
  getdate(&today);
  gettime(&now);
  int written = AppendFormatted(
      fd, "Date: %02d.%02d.%04d Time: %02d:%02d:%02d A:%-15s H:%-15s IP:%-15s FROM:%s\n",
      today.day, today.month, today.year, now.hour, now.minute, now.second,
      OrNull(getenv("REMOTE_ADDR")), OrNull(getenv("REMOTE_HOST")),
      OrNull(getenv("HTTP_X_FORWARDED_FOR")), OrNull(getenv("HTTP_REFERER")));
  if (AppendClose(fd) != 0 || written != 0) JournalMessage("Can't write file %s (\"a\")", path);
}
}  // namespace

void CountAndRedirect(int out_fd) {
  const char* query = getenv("QUERY_STRING");
  std::size_t length = query != nullptr ? strlen(query) : 0;
  // A line break inside the query would end the header early and let the
  // query inject headers of its own, so such a query is refused outright.
  if (length == 0 || length > kQueryMax || strpbrk(query, "\r\n") != nullptr) {
    SendLocation(out_fd, kHomeUrl, sizeof kHomeUrl - 1);
    return;
  }
  const char* plus = static_cast<const char*>(memchr(query, '+', length));
  if (plus == nullptr) {
    SendLocation(out_fd, query, length);
    return;
  }
  LogHit(plus + 1, length - static_cast<std::size_t>(plus + 1 - query));
  SendLocation(out_fd, query, static_cast<std::size_t>(plus - query));
}
