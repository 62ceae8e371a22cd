#include "counter/counter.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "korvelin/support/internal/append.h"
#include "korvelin/support/clock.h"
#include "korvelin/support/internal/config.h"
#include "korvelin/support/journal.h"

#ifndef KORVELIN_HOME_URL
#error "KORVELIN_HOME_URL must be defined by the build"
#endif

namespace {
constexpr char kHomeUrl[] = KORVELIN_HOME_URL;
constexpr std::size_t kQueryMax = 1000;
constexpr int kCounterNameMax = 50;
// data root, "counters/", the counter name, ".log", the terminator
constexpr std::size_t kHitLogPathSize = kDataRootLength + 9 + kCounterNameMax + 4 + 1;
// the longest journal text around a path or a counter name
constexpr std::size_t kMessageSize = kHitLogPathSize + 64;

const char* OrNull(const char* value) { return value != nullptr ? value : "(null)"; }

void WriteAll(int fd, const char* data, std::size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // nobody is reading the answer any more
    data += written;
    length -= static_cast<std::size_t>(written);
  }
}

void SendLocation(int fd, const char* target, std::size_t length) {
  char response[10 + (kQueryMax > sizeof kHomeUrl ? kQueryMax : sizeof kHomeUrl) + 2];
  memcpy(response, "Location: ", 10);
  memcpy(response + 10, target, length);
  memcpy(response + 10 + length, "\n\n", 2);
  WriteAll(fd, response, 10 + length + 2);
}

// Appends the visit to the counter's hit log; a hit that cannot be logged is journaled.
void LogHit(const char* name, std::size_t name_length) {
  int cut = name_length < kCounterNameMax ? static_cast<int>(name_length) : kCounterNameMax;
  char message[kMessageSize];
  // A slash would lead the path out of the counters directory.
  if (memchr(name, '/', static_cast<std::size_t>(cut)) != nullptr) {
    snprintf(message, sizeof message, "Refused counter name %.*s (it contains a slash)", cut, name);
    SaveError(message);
    return;
  }
  char path[kHitLogPathSize];
  snprintf(path, sizeof path, "%scounters/%.*s.log", kDataRoot, cut, name);

  int fd = AppendOpen(path);
  if (fd < 0) {
    snprintf(message, sizeof message, "Can't open file %s (\"a\")", path);
    SaveError(message);
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
  if (AppendClose(fd) != 0 || written != 0) {
    snprintf(message, sizeof message, "Can't write file %s (\"a\")", path);
    SaveError(message);
  }
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
