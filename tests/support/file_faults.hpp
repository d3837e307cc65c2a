// Faults of the file system for tests: a full disk, a limit on the size of
// a file, a user who may not write. Where the machine does not allow one
// (no right to mount, no other user), the test says so and is skipped.
#pragma once

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orva::testing {

// A small disk of its own (tmpfs) mounted on a folder, which must exist.
class SmallDisk {
 public:
  SmallDisk(std::filesystem::path at, std::size_t bytes) : at_(std::move(at)) {
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }

  // Takes every free block with a file of its own.
  void fill() {
    int fd = ::open((at_ / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return;
    char block[512] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    while (::write(fd, block, 1) > 0) {
    }
    ::close(fd);
  }
  // Space is back.
  void make_room() { std::filesystem::remove(at_ / "filler"); }

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
};

// Files of this process may not grow beyond the given size while it lasts:
// a write past it fails as on a full disk (EFBIG), after writing what fits.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t old_handler_ = SIG_DFL;
};

// The user without rights of this machine.
constexpr uid_t NOBODY = 65534;

// Runs the work as a user to whom file modes apply: as it is when the test
// does not run as root, else in a child process as nobody. The work's own
// result (0 to 255), or -1 when it could not run.
inline int run_unprivileged(const std::function<int()>& work) {
  if (::getuid() != 0) return work();
  pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0) ::_exit(254);
    ::_exit(work());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 254 ? -1 : WEXITSTATUS(status);
}

// The file system calls a file system may lack (a rename that does not
// replace, links, locks), refused in this process from now on as such a
// file system refuses them: each call with its error.
inline bool refuse_calls(const std::vector<std::pair<int, int>>& calls_and_errors) {
  std::vector<sock_filter> program = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
  for (const auto& [call, error] : calls_and_errors) {
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(call), 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)));
  }
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

}  // namespace orva::testing
