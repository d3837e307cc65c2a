#include "platform/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/time.h>
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

// What the handler of the ending signals reads: changed only while the
// signals are held back.
constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int ENDING_SIGNAL_COUNT = sizeof ENDING_SIGNALS / sizeof ENDING_SIGNALS[0];
struct sigaction previous[ENDING_SIGNAL_COUNT];
bool replaced[ENDING_SIGNAL_COUNT];

volatile sig_atomic_t line_open = 0;

}  // namespace

// The armed works, the one armed last first: a temporary file, held for a
// moment, goes before records that may wait for a turn and a screen.
struct ArmedWorks {
  static inline EndingSignalWork* first = nullptr;
  static void run_all() {
    for (EndingSignalWork* work = first; work; work = work->next_) work->run_(work->context_);
  }
};

namespace {

// Ends the program by the signal, here and now, as the signal would have
// ended it without the handler: its default action, which ends a process
// for each of the ending signals (the program installs no other handler for
// them). The signal is let through for this only, so an ending signal that
// came during the works, held back since, cannot run them again.
[[noreturn]] void end_now_by(int signal) {
  struct sigaction by_default {};
  by_default.sa_handler = SIG_DFL;
  sigemptyset(&by_default.sa_mask);
  ::sigaction(signal, &by_default, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  // Not reached where the signal ends the process; the status a shell gives
  // a process ended by the signal otherwise.
  ::_exit(128 + signal);
}

// The works run once: the ending signals wait from the handler's start, and
// the handler does not return.
extern "C" void end_by_signal(int signal) {
  ArmedWorks::run_all();
  end_now_by(signal);
}

void install_handlers() {
  struct sigaction action {};
  action.sa_handler = end_by_signal;
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

extern "C" void end_the_write(int) {}

// A blocking write to a screen that takes nothing (a terminal stopped by
// Ctrl-S, a pipe whose reader reads no more) would wait without end. A timer
// that ticks for as long as the text is being written makes each write
// return within a tick with what it wrote so far.
constexpr std::chrono::milliseconds SCREEN_TICK{10};

class WriteTimer {
 public:
  WriteTimer() {
    struct sigaction action {};
    action.sa_handler = end_the_write;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // not restarted: the write returns
    ::sigaction(SIGALRM, &action, &old_action_);
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    ::sigprocmask(SIG_UNBLOCK, &alarm, &old_mask_);
    const long tick = static_cast<long>(std::chrono::microseconds(SCREEN_TICK).count());
    const itimerval every_tick{{0, tick}, {0, tick}};
    ::setitimer(ITIMER_REAL, &every_tick, &old_timer_);
  }
  ~WriteTimer() {
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigprocmask(SIG_SETMASK, &old_mask_, nullptr);
    ::sigaction(SIGALRM, &old_action_, nullptr);
    ::setitimer(ITIMER_REAL, &old_timer_, nullptr);
  }
  WriteTimer(const WriteTimer&) = delete;
  WriteTimer& operator=(const WriteTimer&) = delete;

 private:
  struct sigaction old_action_ {};
  sigset_t old_mask_;
  itimerval old_timer_{};
};

}  // namespace

void process_setup() {
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) open_when_closed(fd);
  fail_writes_instead_of_ending(SIGXFSZ);
  fail_writes_instead_of_ending(SIGPIPE);
}

EndingSignalsHeldBack::EndingSignalsHeldBack() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : ENDING_SIGNALS) sigaddset(&set, s);
  ::sigprocmask(SIG_BLOCK, &set, &old_);
}

EndingSignalsHeldBack::~EndingSignalsHeldBack() {
  const int error = errno;
  ::sigprocmask(SIG_SETMASK, &old_, nullptr);
  errno = error;
}

int EndingSignalsHeldBack::poll(pollfd* fds, nfds_t count, std::chrono::nanoseconds duration) const {
  const int error = errno;
  const timespec ts{static_cast<time_t>(duration.count() / 1000000000), static_cast<long>(duration.count() % 1000000000)};
  const int ready = ::ppoll(fds, count, &ts, &old_);
  errno = error;
  return ready;
}

void EndingSignalWork::arm() {
  EndingSignalsHeldBack wait;
  if (armed_) return;
  next_ = ArmedWorks::first;
  ArmedWorks::first = this;
  armed_ = true;
  if (next_ == nullptr) install_handlers();
}

void EndingSignalWork::disarm() {
  EndingSignalsHeldBack wait;
  if (!armed_) return;
  for (EndingSignalWork** at = &ArmedWorks::first; *at; at = &(*at)->next_)
    if (*at == this) {
      *at = next_;
      break;
    }
  next_ = nullptr;
  armed_ = false;
  if (ArmedWorks::first == nullptr) restore_handlers();
}

namespace {

// Writes the text to the screen until the deadline, a tick at a time: a
// blocking write the screen holds up returns within a tick with what it
// wrote, and a screen left non-blocking is waited for. The ending signals
// may come only in the waits, as `held` lets them. How many bytes reached
// the screen; a line left open behind them is told.
std::size_t screen_write_ticking(std::string_view text, const EndingSignalsHeldBack& held,
                                 std::chrono::steady_clock::time_point deadline) {
  WriteTimer timer;
  std::size_t written = 0;
  while (written < text.size() && std::chrono::steady_clock::now() < deadline) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + written, text.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      if (written < text.size()) set_screen_line_open(true);
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd out{STDOUT_FILENO, POLLOUT, 0};
      (void)held.poll(&out, 1, SCREEN_TICK);
      continue;
    }
    break;
  }
  return written;
}

}  // namespace

std::size_t screen_write_in_signal(std::string_view text, std::chrono::steady_clock::time_point deadline) {
  if (screen_goes_nowhere()) return 0;
  const int error = errno;
  // In the handler the ending signals wait already: nothing comes in between.
  const EndingSignalsHeldBack held;
  const std::size_t written = screen_write_ticking(text, held, deadline);
  errno = error;
  return written;
}

bool screen_write_held_back(std::string_view text, const EndingSignalsHeldBack& held) {
  return screen_write_ticking(text, held, std::chrono::steady_clock::time_point::max()) == text.size();
}

bool screen_goes_nowhere() {
  struct stat out {}, null {};
  return ::fstat(STDOUT_FILENO, &out) == 0 && S_ISCHR(out.st_mode) && ::stat("/dev/null", &null) == 0 &&
         S_ISCHR(null.st_mode) && out.st_rdev == null.st_rdev;
}

void set_screen_line_open(bool open) { line_open = open ? 1 : 0; }
bool screen_line_open() { return line_open != 0; }

int SignalGuardedFile::create(const std::filesystem::path& path) {
  remove();
  const std::string& name = path.native();
  if (name.size() >= sizeof path_) {
    errno = ENAMETOOLONG;
    return -1;
  }
  EndingSignalsHeldBack wait;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  std::memcpy(path_, name.c_str(), name.size() + 1);
  at_signal_.arm();
  return fd;
}

bool SignalGuardedFile::rename_to(const std::filesystem::path& target) {
  if (!at_signal_.armed()) {
    errno = ENOENT;
    return false;
  }
  EndingSignalsHeldBack wait;
  if (::rename(path_, target.c_str()) != 0) return false;
  at_signal_.disarm();
  return true;
}

bool SignalGuardedFile::rename_to_new(const std::filesystem::path& target) {
  if (!at_signal_.armed()) {
    errno = ENOENT;
    return false;
  }
  // The signals wait until the file has its name: no step below is left half done.
  EndingSignalsHeldBack wait;
  if (::renameat2(AT_FDCWD, path_, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot rename without replacing: a second name,
    // which is never given where one stands, then the temporary one goes.
    if (::link(path_, target.c_str()) == 0) {
      ::unlink(path_);
    } else {
      if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
      // Nor links: the name is taken by a new empty file, which the file
      // then replaces.
      const int taken = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (taken < 0) return false;
      ::close(taken);
      if (::rename(path_, target.c_str()) != 0) {
        const int error = errno;
        ::unlink(target.c_str());
        errno = error;
        return false;
      }
    }
  }
  at_signal_.disarm();
  return true;
}

void SignalGuardedFile::remove() {
  if (!at_signal_.armed()) return;
  EndingSignalsHeldBack wait;
  ::unlink(path_);
  at_signal_.disarm();
}

void SignalGuardedFile::remove_at_signal(void* file) { ::unlink(static_cast<SignalGuardedFile*>(file)->path_); }

}  // namespace orva
