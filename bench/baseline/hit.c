/* The counting redirect written as a plain C program: the yardstick that
 * counter.cgi is measured against. It does the same job for a counted link
 * (query "TARGET+NAME"): one hit line composed with localtime and appended with
 * one write on an O_APPEND descriptor, then the Location header. It is linked
 * statically, like counter.cgi. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#ifndef DATA_ROOT
#error "DATA_ROOT must be defined by the build"
#endif

static const char *or_null(const char *value) { return value ? value : "(null)"; }

int main(void) {
  const char *query = getenv("QUERY_STRING");
  size_t length = query ? strlen(query) : 0;
  if (length == 0 || length > 1000 || strpbrk(query, "\r\n")) {
    static const char home[] = "Location: http://localhost/\n\n";
    write(1, home, sizeof home - 1);
    return 0;
  }
  const char *plus = memchr(query, '+', length);
  if (plus == NULL) {
    dprintf(1, "Location: %s\n\n", query);
    return 0;
  }

  char path[256];
  snprintf(path, sizeof path, "%scounters/%.50s.log", DATA_ROOT, plus + 1);
  int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) {
    time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    char line[2048];
    int n = snprintf(line, sizeof line,
                     "Date: %02d.%02d.%04d Time: %02d:%02d:%02d A:%-15s H:%-15s IP:%-15s FROM:%s\n",
                     local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
                     local.tm_min, local.tm_sec, or_null(getenv("REMOTE_ADDR")),
                     or_null(getenv("REMOTE_HOST")), or_null(getenv("HTTP_X_FORWARDED_FOR")),
                     or_null(getenv("HTTP_REFERER")));
    if (n > 0 && (size_t)n < sizeof line) write(fd, line, (size_t)n);
    close(fd);
  }

  char response[1024 + 16];
  int n = snprintf(response, sizeof response, "Location: %.*s\n\n", (int)(plus - query), query);
  write(1, response, (size_t)n);
  return 0;
}
