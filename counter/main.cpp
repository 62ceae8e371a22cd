#include <signal.h>
#include <unistd.h>

#include "counter/counter.h"

int main() {
  // A visitor who leaves before the answer must not turn the exit status into a signal.
  signal(SIGPIPE, SIG_IGN);
  CountAndRedirect(STDOUT_FILENO);
  return 0;
}
