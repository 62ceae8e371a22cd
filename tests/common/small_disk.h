// A small disk for the tests: a 64 KiB tmpfs mounted over a directory in a mount
// namespace of a child's own, so nothing outside the child ever sees it.
#ifndef KORVELIN_TESTS_COMMON_SMALL_DISK_H
#define KORVELIN_TESTS_COMMON_SMALL_DISK_H

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace small_disk {

// The exit status of a child that could not set the disk up.
constexpr int kUnavailable = 77;

// Runs body (returning an exit status) in a child that sees a 64 KiB tmpfs over dir,
// mounted with the given extra options (such as "mode=0777"). The child's exit status,
// or kUnavailable when a private mount namespace or the mount cannot be had (no root,
// no CAP_SYS_ADMIN): skip the test then.
template <typename Body>
int RunOnSmallDisk(const std::string& dir, const std::string& options, Body body) {
  pid_t child = fork();
  if (child < 0) return kUnavailable;
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0) _exit(kUnavailable);
    // Mounts made here must not travel back to the parent's namespace.
    if (mount("none", "/", "none", MS_REC | MS_PRIVATE, nullptr) != 0) _exit(kUnavailable);
    std::string all = "size=64k" + (options.empty() ? "" : "," + options);
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, all.c_str()) != 0) _exit(kUnavailable);
    _exit(body());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Fills the disk holding dir to its last byte with the file dir/filler.
inline void FillUp(const std::string& dir) {
  int filler = open((dir + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
  static const char kBlock[4096] = {};
  while (filler >= 0 && write(filler, kBlock, sizeof kBlock) > 0) {
  }
  while (filler >= 0 && write(filler, kBlock, 1) > 0) {
  }
  if (filler >= 0) close(filler);
}

// Runs body in a child that sees a full small disk over dir.
template <typename Body>
int RunOnFullDisk(const std::string& dir, Body body) {
  return RunOnSmallDisk(dir, "", [&dir, &body] {
    FillUp(dir);
    return body();
  });
}

}  // namespace small_disk

#endif
