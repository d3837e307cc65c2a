#include "platform/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>

namespace orva {
namespace {

// A standard descriptor that is closed is opened where it reads nothing or
// writes nowhere: /dev/null, or else a pipe whose other end is closed.
void open_when_closed(int fd) {
  if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
  const bool input = fd == STDIN_FILENO;
  int opened = ::open("/dev/null", input ? O_RDONLY : O_WRONLY);
  if (opened < 0) {
    int ends[2];
    if (::pipe(ends) != 0) return;
    opened = input ? ends[0] : ends[1];
    const int other = input ? ends[1] : ends[0];
    if (other != fd) ::close(other);
  }
  if (opened != fd) {
    ::dup2(opened, fd);
    ::close(opened);
  }
}

extern "C" void let_the_write_fail(int) {}

// The write that raised the signal returns its error (EFBIG, EPIPE) and the
// program goes on. A handler and not SIG_IGN: a command of the shell escape
// starts with the signal as the program was started with it, since a
// handler, unlike an ignored signal, does not outlive exec. A signal the
// program was started to ignore is ignored already.
void fail_writes_instead_of_ending(int signal) {
  struct sigaction old {};
  if (::sigaction(signal, nullptr, &old) != 0) return;
  if (!(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = let_the_write_fail;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

// What the signal handler of the held temporary file reads: set only while
// the signals below are blocked.
constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int ENDING_SIGNAL_COUNT = sizeof ENDING_SIGNALS / sizeof ENDING_SIGNALS[0];
char held_path[PATH_MAX];
volatile sig_atomic_t held = 0;
struct sigaction previous[ENDING_SIGNAL_COUNT];
bool replaced[ENDING_SIGNAL_COUNT];

extern "C" void remove_held_file_and_end(int signal) {
  if (held) ::unlink(held_path);
  held = 0;
  // The signal, blocked while its handler runs, comes again as it would
  // have come without the handler as soon as the handler returns.
  for (int i = 0; i < ENDING_SIGNAL_COUNT; ++i)
    if (ENDING_SIGNALS[i] == signal) ::sigaction(signal, &previous[i], nullptr);
  ::raise(signal);
}

// The ending signals wait while the held file and its handlers change.
class EndingSignalsHeldBack {
 public:
  EndingSignalsHeldBack() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : ENDING_SIGNALS) sigaddset(&set, s);
    ::sigprocmask(SIG_BLOCK, &set, &old_);
  }
  ~EndingSignalsHeldBack() {
    const int error = errno;
    ::sigprocmask(SIG_SETMASK, &old_, nullptr);
    errno = error;
  }
  EndingSignalsHeldBack(const EndingSignalsHeldBack&) = delete;
  EndingSignalsHeldBack& operator=(const EndingSignalsHeldBack&) = delete;

 private:
  sigset_t old_;
};

void install_handlers() {
  struct sigaction action {};
  action.sa_handler = remove_held_file_and_end;
  sigemptyset(&action.sa_mask);
  for (int s : ENDING_SIGNALS) sigaddset(&action.sa_mask, s);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < ENDING_SIGNAL_COUNT; ++i) {
    replaced[i] = false;
    if (::sigaction(ENDING_SIGNALS[i], nullptr, &previous[i]) != 0) continue;
    if (!(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN) continue;
    replaced[i] = ::sigaction(ENDING_SIGNALS[i], &action, nullptr) == 0;
  }
}

void restore_handlers() {
  for (int i = 0; i < ENDING_SIGNAL_COUNT; ++i)
    if (replaced[i]) ::sigaction(ENDING_SIGNALS[i], &previous[i], nullptr);
}

}  // namespace

void process_setup() {
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) open_when_closed(fd);
  fail_writes_instead_of_ending(SIGXFSZ);
  fail_writes_instead_of_ending(SIGPIPE);
}

int SignalGuardedFile::create(const std::filesystem::path& path) {
  remove();
  const std::string& name = path.native();
  if (held || name.size() >= sizeof held_path) {
    errno = held ? EBUSY : ENAMETOOLONG;
    return -1;
  }
  EndingSignalsHeldBack wait;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  std::memcpy(held_path, name.c_str(), name.size() + 1);
  held = 1;
  mine_ = true;
  install_handlers();
  return fd;
}

bool SignalGuardedFile::rename_to(const std::filesystem::path& target) {
  if (!mine_) {
    errno = ENOENT;
    return false;
  }
  EndingSignalsHeldBack wait;
  if (::rename(held_path, target.c_str()) != 0) return false;
  release();
  return true;
}

bool SignalGuardedFile::rename_to_new(const std::filesystem::path& target) {
  if (!mine_) {
    errno = ENOENT;
    return false;
  }
  // The signals wait until the file has its name: no step below is left half done.
  EndingSignalsHeldBack wait;
  if (::renameat2(AT_FDCWD, held_path, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot rename without replacing: a second name,
    // which is never given where one stands, then the temporary one goes.
    if (::link(held_path, target.c_str()) == 0) {
      ::unlink(held_path);
    } else {
      if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
      // Nor links: the name is taken by a new empty file, which the file
      // then replaces.
      const int taken = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (taken < 0) return false;
      ::close(taken);
      if (::rename(held_path, target.c_str()) != 0) {
        const int error = errno;
        ::unlink(target.c_str());
        errno = error;
        return false;
      }
    }
  }
  release();
  return true;
}

void SignalGuardedFile::remove() {
  if (!mine_) return;
  EndingSignalsHeldBack wait;
  ::unlink(held_path);
  release();
}

void SignalGuardedFile::release() {
  held = 0;
  mine_ = false;
  restore_handlers();
}

}  // namespace orva
