#include "tests/common/harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

ProcessResult Run(const std::string& program, const std::vector<std::string>& env) {
  int pipe_fds[2];
  // Close-on-exec, so a child started by another thread never holds this pipe open.
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[1]);

  std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
  std::vector<char*> envp;
  for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  pid_t pid;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    throw std::runtime_error("cannot start " + program + ": " + strerror(spawned));
  }
  ProcessResult result;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipe_fds[0], buffer, sizeof buffer)) != 0) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    result.out.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
