#include "tests/common/harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace harness {

std::string DataRoot() { return KORVELIN_TEST_ROOT; }

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);  // a test may have taken the write permission away
    for (const std::string& name : ListDir(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

static void MakeDirs(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0777);
    if (slash == std::string::npos) break;
  }
}

void ResetDataRoot() {
  std::string root = DataRoot();
  RemoveTree(root.substr(0, root.size() - 1));
  MakeDirs(root + "counters");
  MakeDirs(root + "allerror");
}

std::string ScratchDir(const std::string& name) {
  std::string dir = std::string(KORVELIN_TEST_SCRATCH) + "/" + name;
  RemoveTree(dir);
  MakeDirs(dir);
  return dir;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// Reads both pipes until the child closes them, so a child that fills one
// while the other is being read never stalls.
static void Drain(int out_fd, int err_fd, ProcessResult* result) {
  struct pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&result->out, &result->err};
  int open_fds = 2;
  char buffer[4096];
  while (open_fds > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        fds[i].fd = -1;
        --open_fds;
        continue;
      }
      sinks[i]->append(buffer, static_cast<std::size_t>(got));
    }
  }
}

ProcessResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& env) {
  int out_pipe[2], err_pipe[2];
  // Close-on-exec, so a child started by another thread never holds these pipes open.
  if (pipe2(out_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(err_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);

  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  pid_t pid;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (spawned != 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    throw std::runtime_error("cannot start " + command[0] + ": " + strerror(spawned));
  }
  ProcessResult result;
  Drain(out_pipe[0], err_pipe[0], &result);
  close(out_pipe[0]);
  close(err_pipe[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

ProcessResult Run(const std::string& program, const std::vector<std::string>& env) {
  ProcessResult result = RunCommand({program}, env);
  // What the program says there (a sanitizer's report) stays in the test's output.
  fwrite(result.err.data(), 1, result.err.size(), stderr);
  return result;
}

ProcessResult RunCounter(const std::vector<std::string>& env) {
  return Run(KORVELIN_TEST_COUNTER, env);
}

void ScopedEnv::Remember(const char* name) {
  for (const Saved& saved : saved_)
    if (saved.name == name) return;
  const char* value = getenv(name);
  saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
}

void ScopedEnv::Set(const char* name, const std::string& value) {
  Remember(name);
  setenv(name, value.c_str(), 1);
}

void ScopedEnv::Unset(const char* name) {
  Remember(name);
  unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->was_set)
      setenv(it->name.c_str(), it->value.c_str(), 1);
    else
      unsetenv(it->name.c_str());
  }
}

}  // namespace harness
