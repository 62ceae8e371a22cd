// A full disk for the tests: a 64 KiB tmpfs, filled up, mounted over a directory in a
// mount namespace of a child's own, so nothing outside the child ever sees it.
#ifndef KORVELIN_TESTS_SMALL_DISK_H
#define KORVELIN_TESTS_SMALL_DISK_H

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace small_disk {

// The exit status of a child that could not set the disk up.
constexpr int kUnavailable = 77;

// Runs body (returning an exit status) in a child that sees a full tmpfs over dir.
// The child's exit status, or kUnavailable when a private mount namespace or the
// mount cannot be had (no root, no CAP_SYS_ADMIN): skip the test then.
template <typename Body>
int RunOnFullDisk(const std::string& dir, Body body) {
  pid_t child = fork();
  if (child < 0) return kUnavailable;
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0) _exit(kUnavailable);
    // Mounts made here must not travel back to the parent's namespace.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(kUnavailable);
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) _exit(kUnavailable);
    int filler = open((dir + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    static const char kBlock[4096] = {};
    while (filler >= 0 && write(filler, kBlock, sizeof kBlock) > 0) {
    }
    while (filler >= 0 && write(filler, kBlock, 1) > 0) {
    }
    if (filler >= 0) close(filler);
    _exit(body());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace small_disk

#endif
