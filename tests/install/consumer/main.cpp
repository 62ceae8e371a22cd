// A program built on the installed library the way a site's own program is:
// POSIX headers that declare utime() and ftime() come first, then the library,
// then headers of its own named like the library's.
//   consumer FILE   sets FILE's modification time with utime(), reads it back
//                   with getftime(), and decodes a form: prints both
#include <sys/timeb.h>
#include <utime.h>

#include <cstdio>

#include <korvelin/korvelin.h>

#define CONSUMER_OWN_HEADERS
#include "form/records.h"
#include "support/clock.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: consumer FILE\n");
    return 2;
  }
  // 2026-03-07 09:05:03 UTC; the test runs with TZ=UTC.
  struct utimbuf times = {1772874303, 1772874303};
  if (utime(argv[1], &times) != 0) {
    perror(argv[1]);
    return 1;
  }
  struct ftime modified = {};
  getftime(argv[1], &modified);
  printf("modified %d-%02u-%02u %02u:%02u:%02u\n", ConsumerYear(modified), modified.month + 0u,
         modified.day + 0u, modified.hour + 0u, modified.minute + 0u, modified.second + 0u);

  static char fields[256];
  CoderEnviroment("name=Ivan+%3Cb%3E", fields, sizeof fields);
  char name[41];
  if (NameValue(fields, name, ConsumerField(), 40) < 0) return 1;
  printf("%s=%s\n", ConsumerField(), name);
  return 0;
}
