// counter.fcgi: the counting redirect as a FastCGI program, one request after another.
//   counter.fcgi                   serves the listening socket handed over on descriptor 0
//                                  (a server that spawns it, spawn-fcgi, a systemd socket)
//   counter.fcgi --listen ADDRESS  opens ADDRESS itself: HOST:PORT, :PORT, or the path of a
//                                  Unix socket, created with mode 0660 (owner and group)
#include <fcgiapp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "counter/counter.h"
#include "counter/environment.h"
#include "counter/fastcgi_environment.h"

namespace {
constexpr int kBacklog = 128;

volatile sig_atomic_t stopping = 0;

// SIGTERM lets the request in hand finish, then the loop ends; without SA_RESTART the
// wait for the next connection returns at once.
void Stop(int) {
  stopping = 1;
  FCGX_ShutdownPending();
}

// libfcgi reads ADDRESS as HOST:PORT when a colon is followed by a port number, and as
// the path of a Unix socket otherwise.
bool IsUnixPath(const char* address) {
  const char* colon = strchr(address, ':');
  return colon == nullptr || atoi(colon + 1) == 0;
}

int ListeningSocket(int argc, char** argv) {
  if (argc == 1) return 0;
  if (argc != 3 || strcmp(argv[1], "--listen") != 0) {
    fprintf(stderr, "usage: %s [--listen HOST:PORT | --listen :PORT | --listen SOCKET_PATH]\n",
            argv[0]);
    return -1;
  }
  // libfcgi would print its own message and exit with a status of its own choosing.
  if (IsUnixPath(argv[2]) && strlen(argv[2]) >= sizeof(sockaddr_un::sun_path)) {
    fprintf(stderr, "%s: the socket path %s is %zu bytes long; a Unix socket path has at most %zu\n",
            argv[0], argv[2], strlen(argv[2]), sizeof(sockaddr_un::sun_path) - 1);
    return -1;
  }
  mode_t before = umask(0117);  // the web server's group may connect, nobody else
  int fd = FCGX_OpenSocket(argv[2], kBacklog);
  umask(before);
  if (fd < 0) fprintf(stderr, "%s: cannot listen on %s\n", argv[0], argv[2]);
  return fd;
}

void Serve(FCGX_Request* connection) {
  CounterAnswer answer;
  {
    RequestEnvironment environment(connection->envp);
    CountAndRedirect(RequestFromEnvironment(), &answer);
  }
  // A visitor who has left needs no answer; the hit is already in its log.
  FCGX_PutStr(answer.bytes, static_cast<int>(answer.length), connection->out);
}
}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  struct sigaction stop = {};
  stop.sa_handler = Stop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTERM, &stop, nullptr);

  // The local time zone comes from the process's own environment (TZ), read now,
  // before any request's parameters stand in for the environment.
  tzset();
  if (FCGX_Init() != 0) return 1;
  int socket = ListeningSocket(argc, argv);
  if (socket < 0) return 2;
  FCGX_Request connection;
  FCGX_InitRequest(&connection, socket, FCGI_FAIL_ACCEPT_ON_INTR);
  while (!stopping && FCGX_Accept_r(&connection) >= 0) {
    Serve(&connection);
    FCGX_Finish_r(&connection);
  }
  FCGX_Free(&connection, 1);
  return 0;
}
