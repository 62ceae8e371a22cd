// counter.cgi: one request per process, handed over in the CGI environment.
#include <signal.h>
#include <unistd.h>

#include "counter/counter.h"
#include "counter/environment.h"
#include "korvelin/support/internal/write_all.h"

int main() {
  // A visitor who leaves before the answer must not turn the exit status into a signal.
  signal(SIGPIPE, SIG_IGN);
  CounterAnswer answer;
  CountAndRedirect(RequestFromEnvironment(), &answer);
  // The whole answer leaves in one write, so a client never sees half a header;
  // a visitor who has left needs no answer.
  WriteAll(STDOUT_FILENO, answer.bytes, answer.length);
  return 0;
}
