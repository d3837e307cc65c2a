#include "platform/terminal_platform.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/format.hpp"
#include "platform/process.hpp"

namespace orva {

std::filesystem::path data_folder_from_environment() {
  if (const char* home = std::getenv("ORVA_HOME"); home && *home) return home;
  if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home) / "ORVA";
  return "ORVA";
}

TerminalPlatform::TerminalPlatform(std::unique_ptr<Graphics> graphics)
    : graphics_(graphics ? std::move(graphics) : std::make_unique<NullGraphics>()),
      data_folder_(data_folder_from_environment()),
      screen_goes_nowhere_(screen_goes_nowhere()) {}

namespace {

// Another program that shares the terminal or pipe may have made it
// non-blocking: a read or write then finds it not ready instead of waiting.
// The console waits for it as it would on a blocking one. False when the
// descriptor cannot be waited for at all. A hangup or an error counts as
// ready: the read or write that follows reports it.
bool wait_until_ready(int fd, short events) {
  if (fd < 0) return false;
  pollfd p{fd, events, 0};
  while (true) {
    const int n = ::poll(&p, 1, -1);
    if (n > 0) return !(p.revents & POLLNVAL);
    if (n < 0 && errno != EINTR) return false;
  }
}

bool not_ready(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// All of the text, however slowly the reader takes it: the wait for a full
// pipe or terminal has no bound, as a blocking one has none, since screen
// text given up would be lost. A reader that has gone away is no wait: the
// write fails. Text that cannot be written (the reader gone, the file size
// limit, a full disk) is dropped and the session goes on; later text is
// tried again. False when text was dropped.
bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && not_ready(errno) && wait_until_ready(fd, POLLOUT)) continue;
    return false;
  }
  return true;
}

// One write for each line, so that a line reaches the screen whole.
bool write_line(int fd, std::string_view text) {
  std::string line(text);
  line += '\n';
  return write_all(fd, line);
}

}  // namespace

void TerminalPlatform::console_write_line(std::string_view text) {
  if (!write_line(STDOUT_FILENO, text) || screen_goes_nowhere_) ++texts_lost_;
  set_screen_line_open(false);
}

void TerminalPlatform::console_write_prompt(std::string_view text) {
  if (!write_all(STDOUT_FILENO, text) || screen_goes_nowhere_) ++texts_lost_;
  if (!text.empty()) set_screen_line_open(true);
}

void TerminalPlatform::console_write_lines_shown(std::span<const std::string> lines,
                                                 const std::function<void()>& shown) {
  if (lines.empty()) return;
  if (screen_goes_nowhere_) {
    ++texts_lost_;
    return;
  }
  for (const std::string& text : lines) {
    // The ending signals come only while the screen is waited for, so that
    // a line that reached the screen is shown before they can come.
    EndingSignalsHeldBack held;
    if (!screen_write_held_back(text + '\n', held)) {
      ++texts_lost_;
      return;
    }
    set_screen_line_open(false);
    shown();
  }
}

std::optional<TypedLine> read_console_line(std::FILE* in) {
  // Only what is kept is held: the rest of a longer line is dropped as it
  // arrives, so no line, however long or endless, costs more memory. Three
  // bytes beyond the kept ones are held: the rest of a character the edge
  // falls into, which shows whether the edge cuts it.
  constexpr std::size_t HELD = CONSOLE_LINE_LENGTH + 3;
  TypedLine line;
  std::size_t length = 0;  // characters of the line, kept or not
  int last = '\n';
  int c;
  while (true) {
    // errno tells only of this read; the stream's error flag may be older.
    errno = 0;
    c = getc_unlocked(in);
    if (c == EOF && ferror(in) && errno == EINTR) {
      clearerr(in);
      continue;
    }
    // Nothing typed yet is no end of the input: the console waits for it.
    if (c == EOF && ferror(in) && not_ready(errno) && wait_until_ready(fileno(in), POLLIN)) {
      clearerr(in);
      continue;
    }
    if (c == EOF || c == '\n') break;
    ++length;
    last = c;
    if (line.text.size() < HELD) line.text.push_back(static_cast<char>(c));
  }
  if (c == EOF && length == 0) return std::nullopt;
  if (last == '\r') {
    --length;
    if (line.text.size() > length) line.text.pop_back();
  }
  line.cut = length > CONSOLE_LINE_LENGTH;
  line.text = first_bytes(line.text, CONSOLE_LINE_LENGTH);
  return line;
}

std::optional<TypedLine> TerminalPlatform::console_read_line() { return read_console_line(stdin); }

void TerminalPlatform::console_run_command(std::string_view line) {
  // The screen text before it is written already: the console holds none back.
  std::string command(line);
  // The command's own output goes to the terminal; its exit status is its own affair.
  int status = std::system(command.c_str());
  (void)status;
}

void TerminalPlatform::console_note(std::string_view text) { write_line(STDERR_FILENO, text); }

std::filesystem::path TerminalPlatform::data_folder() const { return data_folder_; }

namespace {
std::tm local_now(int* hundredths) {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  if (hundredths) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    *hundredths = static_cast<int>(ms / 10);
  }
  return tm;
}
}  // namespace

LocalDate TerminalPlatform::clock_local_date() {
  std::tm tm = local_now(nullptr);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

LocalTime TerminalPlatform::clock_local_time() {
  int hundredths = 0;
  std::tm tm = local_now(&hundredths);
  return {tm.tm_hour, tm.tm_min, tm.tm_sec, hundredths};
}

double TerminalPlatform::clock_process_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace orva
