#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/counter/counter_test.h"

namespace counter_test {
namespace {

constexpr char kCgiFcgi[] = "/usr/bin/cgi-fcgi";

harness::ProcessResult RunCgi(const std::vector<std::string>& env) {
  return harness::RunCounter(env);
}

std::string CgiNeedsNothing() { return ""; }

#ifdef KORVELIN_TEST_FASTCGI_COUNTER
// Whether a program listens on the Unix socket at path (the file appears before it
// listens, so its existence is not enough).
bool Listening(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// One counter.fcgi for the whole test program, listening on a Unix socket in the
// scratch directory, started with an empty environment so that everything the
// journal reads comes from the requests. It ends with the test program.
class StandingFastcgi {
 public:
  StandingFastcgi() {
    std::string dir = harness::ScratchDir("fastcgi");
    std::string socket = dir + "/counter.sock";
    pid_ = fork();
    if (pid_ == 0) {
      // Never outlives a test program that crashed. The signal comes when the thread
      // that started it ends, so only the main thread may start it.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      char* argv[] = {const_cast<char*>(KORVELIN_TEST_FASTCGI_COUNTER),
                      const_cast<char*>("--listen"), socket.data(), nullptr};
      char* envp[] = {nullptr};
      execve(argv[0], argv, envp);
      _exit(127);
    }
    for (int tick = 0; tick < 100 && !Listening(socket); ++tick) usleep(50000);
    client_ = dir + "/ask-counter";
    harness::WriteFile(client_, std::string("#!/bin/sh\nexec ") + kCgiFcgi +
                                    " -bind -connect " + socket + "\n");
    chmod(client_.c_str(), 0755);
  }
  ~StandingFastcgi() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& client() const { return client_; }

 private:
  pid_t pid_;
  std::string client_;
};

const StandingFastcgi& Server() {
  static StandingFastcgi server;
  return server;
}

harness::ProcessResult RunFastcgi(const std::vector<std::string>& env) {
  return harness::Run(Server().client(), env);
}

std::string PrepareFastcgi() {
  if (!harness::Exists(kCgiFcgi))
    return std::string(kCgiFcgi) + " is missing: install the Debian package libfcgi-bin";
  Server();
  return "";
}
#endif

const Front kCgi = {"cgi", RunCgi, CgiNeedsNothing};
const Front* current = &kCgi;

}  // namespace

std::vector<Front> Fronts() {
  std::vector<Front> fronts{kCgi};
#ifdef KORVELIN_TEST_FASTCGI_COUNTER
  fronts.push_back({"fastcgi", RunFastcgi, PrepareFastcgi});
#endif
  return fronts;
}

void UseFront(const Front& front) { current = &front; }
const Front& CurrentFront() { return *current; }

void FrontTest::SetUp() {
  UseFront(GetParam());
  std::string reason = GetParam().prepare();
  if (reason.empty()) return;
  if (getenv("KORVELIN_E2E_REQUIRED") != nullptr) FAIL() << reason;
  GTEST_SKIP() << reason;
}

void FrontTest::TearDown() { UseFront(kCgi); }

std::string FrontName(const ::testing::TestParamInfo<Front>& info) { return info.param.name; }

}  // namespace counter_test
