#include "platform/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

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

}  // namespace

void process_setup() {
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) open_when_closed(fd);
  fail_writes_instead_of_ending(SIGXFSZ);
  fail_writes_instead_of_ending(SIGPIPE);
}

}  // namespace orva
