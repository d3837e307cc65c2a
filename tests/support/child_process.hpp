// Child processes of a test, none of which may hang it: every wait has a
// deadline, and a child still running at its deadline is killed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

namespace orva::testing {

// The wait status of the child, or nothing when it was still running after
// `seconds` and had to be killed.
inline std::optional<int> wait_child(pid_t child, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) return status;
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return std::nullopt;
    }
    ::usleep(1000);
  }
}

// A child process running the work and exiting with its result. A child
// not waited for is killed at the end of its scope, so that no test leaves
// one behind.
class Child {
 public:
  explicit Child(const std::function<int()>& work) {
    pid_ = ::fork();
    if (pid_ == 0) ::_exit(work());
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // As wait_child; the child is gone afterwards.
  std::optional<int> wait(int seconds) {
    const std::optional<int> status = wait_child(pid_, seconds);
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
};

// Whether a byte came through the descriptor within `seconds`; a child
// sends one when it has reached the point the test waits for.
inline bool byte_arrives(int fd, int seconds) {
  pollfd p{fd, POLLIN, 0};
  char byte = 0;
  return ::poll(&p, 1, seconds * 1000) == 1 && ::read(fd, &byte, 1) == 1;
}

// The point where a child stops for the test, from a hook without
// arguments: it sends a byte through `stop_reached` and waits for one from
// `stop_go_on`, descriptors the child sets before the hook is called.
inline int stop_reached = -1, stop_go_on = -1;
inline void tell_and_wait() {
  const char byte = '.';
  char go = 0;
  (void)!::write(stop_reached, &byte, 1);
  (void)!::read(stop_go_on, &go, 1);
}

// A pipe whose ends are closed with it.
struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int ends[2];
    if (::pipe(ends) == 0) {
      read = ends[0];
      write = ends[1];
    }
  }
  ~Pipe() {
    close_read();
    close_write();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  void close_read() {
    if (read >= 0) ::close(read);
    read = -1;
  }
  void close_write() {
    if (write >= 0) ::close(write);
    write = -1;
  }
  // Sends the one byte a waiting side looks for. That side may have ended
  // already (a child killed by the signal the test sent it): the broken pipe
  // must not end the test itself.
  void send() const {
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &old);
    const char byte = '.';
    (void)!::write(write, &byte, 1);
    ::sigaction(SIGPIPE, &old, nullptr);
  }
};

// Another process that holds a lock on a file (shared or exclusive, as
// flock takes it) until the test lets go or is gone: a reader holding the
// protocol, a run stuck in a write, a W of another machine holding its
// temporary file.
class LockHolder {
 public:
  explicit LockHolder(const std::filesystem::path& file, int how = LOCK_EX)
      : child_([&] {
          release_.close_write();
          const int fd = ::open(file.c_str(), O_RDONLY);
          if (fd < 0 || ::flock(fd, how) != 0) return 2;
          locked_.send();
          return byte_arrives(release_.read, 120) ? 0 : 3;
        }) {}
  // Whether the lock is held now.
  bool holding() const { return child_.started() && byte_arrives(locked_.read, 30); }
  // Lets go; whether the holder ended in time.
  bool release() {
    release_.send();
    return child_.wait(30).has_value();
  }

 private:
  Pipe locked_, release_;
  Child child_;
};

}  // namespace orva::testing
