// The built program started as a shell starts it, under a harsh process
// environment: a standard descriptor closed, a file size limit, a reader of
// its output that has gone away, standard input or output left non-blocking
// by another program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.hpp"
#include "support/session.hpp"

extern char** environ;

namespace orva {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::TempHome;

// How the program is started.
struct Start {
  int closed = -1;                          // a standard descriptor closed, or none
  rlim_t file_size_limit = RLIM_INFINITY;  // in bytes
  bool reader_gone = false;                // standard output a pipe nobody reads
  // Standard input a non-blocking pipe, each typed line sent in two pieces
  // (its first character, then the rest) with a pause before each.
  bool nonblocking_input = false;
  // Standard output and error non-blocking pipes; the output is read only
  // once the program has filled its pipe.
  bool nonblocking_output = false;
};

struct ProgramRun {
  bool ended = false;  // within the time allowed
  int status = -1;     // the wait status
  std::string output, notes;
  bool exited_with(int code) const { return ended && WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

// Reads both pipes to their ends, for at most `seconds`.
void read_both(int out, int err, std::string& output, std::string& notes, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  std::vector<pollfd> open = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* into[] = {&output, &notes};
  while ((open[0].fd >= 0 || open[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
    if (::poll(open.data(), open.size(), 100) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (open[i].fd < 0 || !(open[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      const ssize_t n = ::read(open[i].fd, buffer, sizeof buffer);
      if (n > 0)
        into[i]->append(buffer, static_cast<std::size_t>(n));
      else if (n == 0 || errno != EINTR)
        open[i].fd = -1;
    }
  }
}

bool make_nonblocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Sends the typed lines as a slow typist does, with a pause before the first
// character of each line and one before the rest of it. A program that has
// ended early makes the writes fail, not the test.
void type_slowly(int fd, const std::string& input) {
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &old);
  for (std::size_t at = 0; at < input.size();) {
    const std::size_t end = std::min(input.find('\n', at), input.size() - 1) + 1;
    for (const std::string& piece : {input.substr(at, 1), input.substr(at + 1, end - at - 1)}) {
      if (piece.empty()) continue;
      ::usleep(100 * 1000);
      (void)!::write(fd, piece.data(), piece.size());
    }
    at = end;
  }
  ::sigaction(SIGPIPE, &old, nullptr);
}

// Waits, for at most `seconds`, until the pipe is full but for a page, and
// then a moment more, so that the writer finds it full.
void wait_until_full(int fd, int seconds) {
  const int capacity = ::fcntl(fd, F_GETPIPE_SZ);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int waiting = 0;
  while (capacity > 0 && ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting < capacity - 4096 &&
         std::chrono::steady_clock::now() < deadline)
    ::usleep(1000);
  ::usleep(100 * 1000);
}

// Replaces the child with the program, with the data folder `home`, its
// standard descriptors as the child set them and the signals as a shell
// leaves them for the programs it starts; returns only when it could not.
int exec_program(const TempHome& home) {
  std::vector<std::string> environment = {"ORVA_HOME=" + home.path().string()};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("ORVA_HOME=", 0) != 0) environment.push_back(*e);
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  for (int fd = 3; fd < 1024; ++fd) ::close(fd);
  for (int s : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  char* argv[] = {const_cast<char*>("orva"), nullptr};
  ::execve(ORVA_PROGRAM, argv, envp.data());
  return 127;
}

// Runs the program on the typed lines with the data folder `home`. Output
// and notes come through pipes, which no file size limit cuts.
ProgramRun run_program(const std::string& input, const TempHome& home, const Start& start = {}) {
  ProgramRun run;
  const fs::path typed = home.path() / "typed-lines";
  home.write("typed-lines", input);
  testing::Pipe out, err, typing;
  if (start.reader_gone) out.close_read();
  Child program([&] {
    const int in = start.nonblocking_input ? typing.read : ::open(typed.c_str(), O_RDONLY);
    if (in < 0 || ::dup2(in, 0) < 0 || ::dup2(out.write, 1) < 0 || ::dup2(err.write, 2) < 0) return 126;
    if (start.nonblocking_input && !make_nonblocking(0)) return 126;
    if (start.nonblocking_output && (!make_nonblocking(1) || !make_nonblocking(2))) return 126;
    if (start.closed >= 0) ::close(start.closed);
    const rlimit limit{start.file_size_limit, start.file_size_limit};
    if (start.file_size_limit != RLIM_INFINITY) ::setrlimit(RLIMIT_FSIZE, &limit);
    return exec_program(home);
  });
  out.close_write();
  err.close_write();
  typing.close_read();
  if (!program.started()) return run;
  if (start.nonblocking_input) type_slowly(typing.write, input);
  typing.close_write();
  if (start.nonblocking_output) wait_until_full(out.read, 30);
  if (start.reader_gone) {
    std::string none;
    read_both(-1, err.read, none, run.notes, 60);
  } else {
    read_both(out.read, err.read, run.output, run.notes, 60);
  }
  const std::optional<int> status = program.wait(60);
  run.ended = status.has_value();
  run.status = status.value_or(-1);
  return run;
}

// The program running on typed lines that stay open: it waits at its
// question for more until the test types them, ends the input or sends it a
// signal. Its output is read as the test waits for it.
class RunningProgram {
 public:
  // Where its output goes.
  enum class Screen {
    Read,      // a pipe the test reads
    Small,     // a pipe of one page (4 KiB) the test reads
    Unread,    // a pipe nobody reads, which fills
    Gone,      // a pipe whose reader has gone away
    Nowhere,   // started without standard output: /dev/null
  };
  explicit RunningProgram(const TempHome& home, Screen screen = Screen::Read)
      : screen_(screen), program_([&] {
          if (::dup2(typing_.read, 0) < 0 || ::dup2(err_.write, 2) < 0) return 126;
          if (screen == Screen::Nowhere)
            ::close(1);
          else if (::dup2(out_.write, 1) < 0)
            return 126;
          return exec_program(home);
        }) {
    if (screen == Screen::Small) ::fcntl(out_.write, F_SETPIPE_SZ, 4096);
    out_.close_write();
    err_.close_write();
    typing_.close_read();
    if (screen == Screen::Gone) out_.close_read();
  }

  bool started() const { return program_.started(); }
  pid_t pid() const { return program_.pid(); }
  void type(const std::string& lines) { (void)!::write(typing_.write, lines.data(), lines.size()); }
  // Whether the output comes to end with the text `count` times within
  // `seconds`: the program waits at that question.
  bool waits_after(const std::string& text, int count, int seconds) {
    return reads_until(
        [&] {
          std::size_t found = 0;
          for (std::size_t at = output_.find(text); at != std::string::npos; at = output_.find(text, at + 1)) ++found;
          return found == static_cast<std::size_t>(count) && output_.ends_with(text);
        },
        seconds);
  }
  // Whether the output shows the text within `seconds`; it is read a page
  // at a time, and no further once the text is there.
  bool shows(const std::string& text, int seconds) {
    return reads_until([&] { return output_.find(text) != std::string::npos; }, seconds);
  }
  const std::string& output() const { return output_; }
  void signal(int s) const { ::kill(program_.pid(), s); }
  // Stops reading the screen, as a reader that stops reading does, and fills
  // the pipe with FILLER until it takes no more: the program's next text
  // finds it full. What the program wrote before is read first. The pipe is
  // written through the program's own standard output, opened for the
  // moment: a writing end the test kept would be inherited by every child it
  // starts, and the screen's end would not come before theirs.
  static constexpr char FILLER = '#';
  bool fill_screen() {
    char buffer[4096];
    for (pollfd p{out_.read, POLLIN, 0}; ::poll(&p, 1, 0) == 1;) {
      const ssize_t n = ::read(out_.read, buffer, sizeof buffer);
      if (n <= 0) return false;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string screen = "/proc/" + std::to_string(program_.pid()) + "/fd/1";
    const int fd = ::open(screen.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const std::string filler(512, FILLER);
    std::size_t filled = 0;
    for (ssize_t n; (n = ::write(fd, filler.data(), filler.size())) > 0;) filled += static_cast<std::size_t>(n);
    const bool full = errno == EAGAIN && filled > 0;
    ::close(fd);
    return full;
  }
  // Ends the input, reads what is left and waits for the end; with
  // `read_after_the_end`, the screen is read only once the program has ended.
  ProgramRun end(int seconds, bool read_after_the_end = false) {
    typing_.close_write();
    ProgramRun run;
    std::optional<int> status;
    if (read_after_the_end) status = program_.wait(seconds);
    std::string rest;
    read_both(screen_ == Screen::Read || screen_ == Screen::Small ? out_.read : -1, err_.read, rest, run.notes, seconds);
    run.output = output_ + rest;
    if (!read_after_the_end) status = program_.wait(seconds);
    run.ended = status.has_value();
    run.status = status.value_or(-1);
    return run;
  }

 private:
  // Reads the output a page at a time until `seen` holds, for at most
  // `seconds`: whether it came to hold.
  template <class Seen>
  bool reads_until(const Seen& seen, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!seen()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd p{out_.read, POLLIN, 0};
      if (::poll(&p, 1, 50) == 1) {
        char buffer[4096];
        const ssize_t n = ::read(out_.read, buffer, sizeof buffer);
        if (n > 0) output_.append(buffer, static_cast<std::size_t>(n));
        if (n == 0) return false;
      }
    }
    return true;
  }
  Screen screen_;
  std::string output_;
  testing::Pipe out_, err_, typing_;
  Child program_;
};

// The text with the data folder's path written as HOME, and the date and
// time of a protocol header masked.
std::string comparable(std::string text, const TempHome& home) {
  const std::string path = home.path().string();
  for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at))
    text.replace(at, path.size(), "HOME");
  std::vector<std::string> lines = testing::split_lines(text);
  std::string result;
  for (std::string& line : lines) result += (line.rfind("  Yr: ", 0) == 0 ? "  Yr: (date and time)" : line) + "\n";
  return result;
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A comment, a dive, a plot and the end.
const std::string DIVE_AND_PLOT = "Tauchgang\nD\n30.\n25.\nP\n\nq\n";

// With standard output or standard error closed, the protocol file is not
// opened in their place: it holds its records only, as in a run with both
// open, and the screen text or the plot's note goes nowhere. With standard
// input closed, the program reads nothing, as from an empty input.
TEST(Program, AClosedStandardDescriptorTakesNoFilesPlace) {
  TempHome reference_home;
  const ProgramRun reference = run_program(DIVE_AND_PLOT, reference_home);
  ASSERT_TRUE(reference.exited_with(0));
  const std::string reference_protocol = comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home);
  ASSERT_NE(reference.notes, "");

  for (int fd : {1, 2}) {
    SCOPED_TRACE("descriptor " + std::to_string(fd) + " closed");
    TempHome home;
    const ProgramRun run = run_program(DIVE_AND_PLOT, home, {.closed = fd});
    EXPECT_TRUE(run.exited_with(0)) << run.notes;
    EXPECT_EQ(comparable(home.read("PROT/PROTOCOL.TXT"), home), reference_protocol);
    EXPECT_EQ(names_in(home.path() / "PLOTS"), std::vector<std::string>{"P-0001.png"});
    if (fd == 1) {
      EXPECT_EQ(run.output, "");
      EXPECT_EQ(comparable(run.notes, home), comparable(reference.notes, reference_home));
    } else {
      EXPECT_EQ(run.notes, "");
      EXPECT_EQ(comparable(run.output, home), comparable(reference.output, reference_home));
    }
  }

  TempHome empty_home, home;
  const ProgramRun empty = run_program("", empty_home);
  const ProgramRun run = run_program(DIVE_AND_PLOT, home, {.closed = 0});
  EXPECT_TRUE(run.exited_with(0)) << run.notes;
  EXPECT_EQ(run.output, empty.output);
  EXPECT_EQ(comparable(home.read("PROT/PROTOCOL.TXT"), home), comparable(empty_home.read("PROT/PROTOCOL.TXT"), empty_home));
}

// A write that crosses the file size limit fails as on a full disk and the
// session goes on: the protocol record that crosses it is taken back and the
// failure told once, W keeps the old state file and says so, the picture is
// removed and its note says so.
TEST(Program, AFileSizeLimitFailsTheWritesAndTheSessionGoesOn) {
  const std::string input = "Tauchgang\nD\n30.\n25.\nP\n\nF\nSTATE\nW\n\n\nD\n30.\n5.\nq\n";
  TempHome reference_home;
  const ProgramRun reference = run_program(input, reference_home);
  ASSERT_TRUE(reference.exited_with(0));
  const std::vector<std::string> protocol = testing::split_lines(reference_home.read("PROT/PROTOCOL.TXT"));
  ASSERT_EQ(protocol.size(), 7u);  // header, X, D, D, X
  // The second D's record crosses the limit in its middle.
  std::string fits;
  for (std::size_t i = 0; i < 5; ++i) fits += protocol[i] + "\n";

  TempHome home;
  home.write("PROT/STATE   .TXT", "the old state\n");
  const ProgramRun run = run_program(input, home, {.file_size_limit = fits.size() + 40});
  ASSERT_TRUE(run.ended) << "the program hangs";
  EXPECT_TRUE(run.exited_with(0)) << "wait status " << run.status << "\n" << run.notes;
  // The header's date line is as long in every run; its minute may differ.
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT").size(), fits.size());
  EXPECT_EQ(comparable(home.read("PROT/PROTOCOL.TXT"), home), comparable(fits, home));
  const std::string told = "  Protokoll PROTOCOL.TXT nicht geschrieben: File too large\n";
  const std::size_t first = run.output.find(told);
  EXPECT_NE(first, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find(told, first + 1), std::string::npos) << "told more than once";
  EXPECT_NE(run.output.find("  Datei STATE   .TXT: File too large - nichts gespeichert!\n"), std::string::npos);
  EXPECT_EQ(home.read("PROT/STATE   .TXT"), "the old state\n");
  EXPECT_EQ(names_in(home.path() / "PROT"), (std::vector<std::string>{"PROTOCOL.TXT", "STATE   .TXT"}));
  EXPECT_EQ(run.notes.rfind("Grafik nicht gespeichert: " + (home.path() / "PLOTS/P-0001.png").string() + ": ", 0), 0u)
      << run.notes;
  EXPECT_EQ(names_in(home.path() / "PLOTS"), std::vector<std::string>{});
  // The commands after the failures ran as they do without the limit; the
  // failed record of the last dive was told behind its prompt.
  const std::string last_dive = "Eingabe der TAUCHTIEFE";
  ASSERT_NE(reference.output.rfind(last_dive), std::string::npos);
  ASSERT_NE(run.output.rfind(last_dive), std::string::npos);
  std::string rest = run.output.substr(run.output.rfind(last_dive));
  if (const std::size_t at = rest.find(told); at != std::string::npos) rest.erase(at, told.size());
  EXPECT_EQ(rest, reference.output.substr(reference.output.rfind(last_dive)));
}

// A reader of the output that has gone away ends nothing: the commands all
// run, W writes its file and the protocol gets its end record, whether the
// session ends with Q or with the end of its input.
TEST(Program, AReaderThatWentAwayEndsNothing) {
  for (const std::string end : {"q\n", ""}) {
    SCOPED_TRACE(end.empty() ? "end of input" : "Q");
    const std::string input = "Tauchgang\nD\n30.\n25.\nF\nSTATE\nW\nD\n30.\n5.\n" + end;
    TempHome reference_home, home;
    const ProgramRun reference = run_program(input, reference_home);
    ASSERT_TRUE(reference.exited_with(0));
    const ProgramRun run = run_program(input, home, {.reader_gone = true});
    ASSERT_TRUE(run.ended) << "the program hangs";
    EXPECT_TRUE(run.exited_with(0)) << "wait status " << run.status << "\n" << run.notes;
    EXPECT_EQ(run.notes, "");
    const std::string protocol = comparable(home.read("PROT/PROTOCOL.TXT"), home);
    EXPECT_EQ(protocol, comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home));
    EXPECT_EQ(protocol.substr(protocol.rfind('\n', protocol.size() - 2) + 1, 2), " X") << "the end record";
    EXPECT_EQ(home.read("PROT/STATE   .TXT"), reference_home.read("PROT/STATE   .TXT"));
    EXPECT_NE(home.read("PROT/STATE   .TXT"), "");
  }
}

// Another process that holds the protocol file's lock and does not let go.
// Any user who may read the file can hold a shared lock on it ("flock -s"):
// the session is not held up, and its records reach the file whole and in
// order, behind the earlier run's, as in a session without the lock. A
// process that holds the file exclusively may be a run taking its record
// back: the session waits three seconds for its turn in all, not for each
// record, appends nothing behind that run's back, and at its end names the
// records that never found a turn on the screen, whole.
TEST(Program, AProtocolLockHeldByAnotherProcessDelaysTheSessionBoundedly) {
  using clock = std::chrono::steady_clock;
  const std::string input = "Tauchgang\nD\n30.\n25.\nA\n6.\nE\n6.\nA\n0.\nq\n";
  const std::string earlier = "  earlier run\n";
  TempHome reference_home;
  reference_home.write("PROT/PROTOCOL.TXT", earlier);
  const ProgramRun reference = run_program(input, reference_home);
  ASSERT_TRUE(reference.exited_with(0));
  const std::string records = comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home).substr(earlier.size());
  for (const int held : {LOCK_SH, LOCK_EX}) {
    SCOPED_TRACE(held == LOCK_SH ? "a shared lock" : "an exclusive lock");
    TempHome home;
    home.write("PROT/PROTOCOL.TXT", earlier);
    testing::LockHolder holder(home.prot("PROTOCOL.TXT"), held);
    ASSERT_TRUE(holder.holding());
    const clock::time_point start = clock::now();
    const ProgramRun run = run_program(input, home);
    const auto took = clock::now() - start;
    EXPECT_TRUE(holder.release());
    ASSERT_TRUE(run.ended) << "the program hangs";
    EXPECT_TRUE(run.exited_with(0)) << "wait status " << run.status << "\n" << run.notes;
    if (held == LOCK_SH) {
      EXPECT_LT(took, std::chrono::seconds(2)) << "the reader holds the session up";
      EXPECT_EQ(comparable(run.output, home), comparable(reference.output, reference_home));
      EXPECT_EQ(comparable(home.read("PROT/PROTOCOL.TXT"), home),
                comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home));
    } else {
      EXPECT_GE(took, std::chrono::milliseconds(2900));
      EXPECT_LT(took, std::chrono::seconds(3) + std::chrono::seconds(4)) << "the session waits for every record";
      EXPECT_EQ(testing::line_diff(comparable(reference.output, reference_home) +
                                       "  Protokoll PROTOCOL.TXT nicht geschrieben: held by another process, 7 records:\n" +
                                       records,
                                   comparable(run.output, home)),
                "");
      EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), earlier);
    }
  }
}

const char* const PROMPT = "  was jetzt?";
const char* const HELD_FOR = "  Protokoll PROTOCOL.TXT nicht geschrieben: held by another process, ";

// The records of the protocol after its first `skip` bytes, as a run names them.
std::string records_after(const TempHome& home, std::size_t skip) {
  return home.read("PROT/PROTOCOL.TXT").substr(skip);
}

std::string signal_name(int s) { return s == SIGTERM ? "SIGTERM" : s == SIGHUP ? "SIGHUP" : "SIGINT"; }

bool ended_by(const ProgramRun& run, int s) { return run.ended && WIFSIGNALED(run.status) && WTERMSIG(run.status) == s; }

// A session whose protocol file holds an earlier run's records and is held
// exclusively by another process from before the start.
struct SessionBesideAHolder {
  TempHome home;
  const bool written;
  testing::LockHolder holder;
  const bool held;
  RunningProgram program;
  SessionBesideAHolder(const std::string& earlier, RunningProgram::Screen screen = RunningProgram::Screen::Read)
      : written((home.write("PROT/PROTOCOL.TXT", earlier), true)),
        holder(home.prot("PROTOCOL.TXT"), LOCK_EX),
        held(holder.holding()),
        program(home, screen) {}
};

// An interrupt, a hangup or a termination signal ends a session while
// another process holds the protocol file exclusively and the session's
// records wait for their turn. Before the run ends by the signal, the
// records get their last turn, and where it does not come they are named on
// the screen whole, on a line of their own behind the question, as at the
// end of a run: within a moment, not another wait of three seconds. A run
// that nothing holds up ends on the signal as it always did: its records
// are in the file, and nothing more is said.
TEST(Program, AnEndingSignalNamesTheRecordsThatWaitForTheirTurn) {
  using clock = std::chrono::steady_clock;
  const std::string dive = "Tauchgang\nD\n20.\n1.\n";
  const std::string earlier = "  earlier run\n";
  struct Case {
    int signal = 0;
    std::unique_ptr<TempHome> reference_home;
    std::unique_ptr<RunningProgram> reference;
    std::unique_ptr<SessionBesideAHolder> session;
  } cases[3];
  const int signals[] = {SIGTERM, SIGHUP, SIGINT};
  // All three at once: each waits three seconds for its turn.
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Case& c = cases[i];
    c.signal = signals[i];
    c.reference_home = std::make_unique<TempHome>();
    c.reference_home->write("PROT/PROTOCOL.TXT", earlier);
    c.reference = std::make_unique<RunningProgram>(*c.reference_home);
    c.session = std::make_unique<SessionBesideAHolder>(earlier);
    ASSERT_TRUE(c.session->held);
    c.reference->type(dive);
    c.session->program.type(dive);
  }
  for (Case& c : cases) {
    SCOPED_TRACE(signal_name(c.signal));
    ASSERT_TRUE(c.reference->waits_after(PROMPT, 2, 30));
    RunningProgram& program = c.session->program;
    ASSERT_TRUE(program.waits_after(PROMPT, 2, 30));
    c.reference->signal(c.signal);
    const ProgramRun reference = c.reference->end(30);
    EXPECT_TRUE(ended_by(reference, c.signal)) << "wait status " << reference.status;
    EXPECT_EQ(reference.output, c.reference->output()) << "a run that keeps no records says more";
    const std::string records = records_after(*c.reference_home, earlier.size());
    ASSERT_EQ(testing::split_lines(records).size(), 5u);  // the header's three lines, X and D

    const clock::time_point signalled = clock::now();
    program.signal(c.signal);
    const ProgramRun run = program.end(30);
    EXPECT_LT(clock::now() - signalled, std::chrono::seconds(1)) << "the run waits for its turn again";
    EXPECT_TRUE(ended_by(run, c.signal)) << "wait status " << run.status << "\n" << run.notes;
    EXPECT_EQ(testing::line_diff(comparable(reference.output + "\n" + HELD_FOR + "5 records:\n" + records, *c.reference_home),
                                 comparable(run.output, c.session->home)),
              "");
    EXPECT_EQ(c.session->home.read("PROT/PROTOCOL.TXT"), earlier) << "appended behind the holder's back";
    EXPECT_TRUE(c.session->holder.release());
  }
}

// Types the comment and a first dive, a minute at 20 m, and waits for its
// records in the file: the header's three lines, X and D. The protocol then,
// or "" when they did not come.
std::string first_dive_in(RunningProgram& program, const TempHome& home) {
  program.type("Tauchgang\nD\n20.\n1.\n");
  if (!program.waits_after(PROMPT, 2, 30)) return "";
  const std::string first = home.read("PROT/PROTOCOL.TXT");
  return testing::split_lines(first).size() == 5 ? first : "";
}

// The records of a dive went in with their turn; then another process took
// the file, and the next dive's record waits. The signal names that one
// record only, and the file keeps the first ones.
TEST(Program, AnEndingSignalNamesOnlyTheRecordsThatFoundNoTurn) {
  TempHome home;
  RunningProgram program(home);
  const std::string first = first_dive_in(program, home);
  ASSERT_NE(first, "");
  testing::LockHolder holder(home.prot("PROTOCOL.TXT"), LOCK_EX);
  ASSERT_TRUE(holder.holding());
  program.type("D\n20.\n1.\n");
  ASSERT_TRUE(program.waits_after(PROMPT, 3, 30));
  const std::string before_signal = program.output();
  program.signal(SIGTERM);
  const ProgramRun run = program.end(30);
  EXPECT_TRUE(ended_by(run, SIGTERM)) << "wait status " << run.status;
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), first);
  // The second D at 20 m for a minute more: two minutes of the dive.
  EXPECT_EQ(run.output, before_signal + "\n" + HELD_FOR + "1 records:\n" +
                            " D   20.0      1.0      2.0  0.79 0.21 0.00    0.     1.       0.      0.      74.3\n");
}

// How often the line stands whole in the text.
std::size_t lines_alike(const std::string& text, const std::string& line) {
  std::size_t n = 0;
  for (const std::string& l : testing::split_lines(text)) n += l == line;
  return n;
}

// The second minute at 20 m, whose record waits for its turn.
const std::string SECOND_MINUTE = " D   20.0      1.0      2.0  0.79 0.21 0.00    0.     1.       0.      0.      74.3";

// An ending signal that comes while a record waits for its turn ends the
// run by the signal, at once and for good: the wait it interrupted never goes
// on to take the turn and append what the signal's work has already
// appended, named or left to a screen that took nothing. The record stands
// exactly once, in the file or on the screen. A second signal during the
// work does not run it again, and the run ends by the first.
TEST(Program, AnEndingSignalInTheWaitForATurnLeavesEachRecordOnce) {
  using namespace std::chrono_literals;
  using clock = std::chrono::steady_clock;
  enum class Where { File, Screen, Either };
  struct Case {
    const char* what;
    int signal;
    bool full_screen;
    std::chrono::milliseconds release;  // after the signal
    // After the signal; without it, the screen is read only after the end.
    std::optional<std::chrono::milliseconds> read_again;
    int second_signal;  // 0.1 s after the first, or none
    Where where;
  } cases[] = {
      {"the holder lets go within the last turn", SIGTERM, false, 50ms, {}, 0, Where::File},
      {"the holder lets go within the last turn", SIGINT, false, 20ms, {}, 0, Where::File},
      {"the holder lets go within the last turn", SIGHUP, false, 80ms, {}, 0, Where::File},
      {"a full screen, the holder lets go while the work writes to it", SIGTERM, true, 300ms, {}, 0, Where::File},
      {"a full screen read again after the holder let go", SIGHUP, true, 250ms, 300ms, 0, Where::Either},
      {"a second signal during the work", SIGTERM, true, 300ms, {}, SIGINT, Where::File},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", " + signal_name(c.signal));
    TempHome home;
    RunningProgram program(home);
    const std::string first = first_dive_in(program, home);
    ASSERT_NE(first, "");
    std::optional<testing::LockHolder> holder;
    holder.emplace(home.prot("PROTOCOL.TXT"), LOCK_EX);
    ASSERT_TRUE(holder->holding());
    // The record waits three seconds for its turn; the signal comes in the wait.
    program.type("D\n20.\n1.\n");
    ::usleep(1000 * 1000);
    if (c.full_screen) {
      ASSERT_TRUE(program.fill_screen());
    }
    const clock::time_point signalled = clock::now();
    program.signal(c.signal);
    auto at = [&](std::chrono::milliseconds after) { std::this_thread::sleep_until(signalled + after); };
    if (c.second_signal) {
      at(100ms);
      program.signal(c.second_signal);
    }
    at(c.release);
    EXPECT_TRUE(holder->release());
    if (c.read_again) at(*c.read_again);
    const ProgramRun run = program.end(30, !c.read_again && c.full_screen);
    EXPECT_LT(clock::now() - signalled, 2s);
    EXPECT_TRUE(ended_by(run, c.signal)) << "wait status " << run.status << "\n" << run.notes;
    const std::string protocol = home.read("PROT/PROTOCOL.TXT");
    EXPECT_EQ(protocol.substr(0, first.size()), first);
    const std::size_t in_file = lines_alike(protocol, SECOND_MINUTE), on_screen = lines_alike(run.output, SECOND_MINUTE);
    EXPECT_EQ(in_file + on_screen, 1u) << "in the file " << in_file << " times, on the screen " << on_screen << " times";
    if (c.where == Where::File) {
      EXPECT_EQ(protocol, first + SECOND_MINUTE + "\n");
    }
    if (on_screen == 1) {
      EXPECT_NE(run.output.find(std::string("\n") + HELD_FOR + "1 records:\n" + SECOND_MINUTE + "\n"), std::string::npos)
          << run.output;
    }
  }
}

// The record lines of a screen text from the first line that names records
// kept on: every whole line but the lines that name them.
std::vector<std::string> named_records(const std::string& screen) {
  std::vector<std::string> records;
  const std::size_t first = screen.find(HELD_FOR);
  if (first == std::string::npos) return records;
  std::string_view rest = std::string_view(screen).substr(first);
  for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1)) {
    const std::string_view line = rest.substr(0, end);
    if (!line.empty() && !line.starts_with(HELD_FOR)) records.emplace_back(line);
  }
  return records;
}

// Q while another process holds the protocol file: the run names its 300
// and more kept records on a screen of one page, which stops being read
// after the line that names them; a termination signal comes while the
// records are being named. The records on the screen are shown and no longer
// kept: the signal's work gives only the others their last turn, names only
// those, or appends only those where the screen takes nothing. Together the
// screen and the file hold every record of the run once, in its order.
TEST(Program, AnEndingSignalWhileTheEndNamesTheRecordsLeavesEachRecordOnce) {
  using namespace std::chrono_literals;
  const std::string earlier = "  earlier run\n";
  std::string input = "Tauchgang\n";
  for (int i = 0; i < 300; ++i) input += "D\n20.\n1.\n";
  input += "q\n";
  TempHome reference_home;
  reference_home.write("PROT/PROTOCOL.TXT", earlier);
  ASSERT_TRUE(run_program(input, reference_home).exited_with(0));
  const std::vector<std::string> reference =
      testing::split_lines(comparable(reference_home.read("PROT/PROTOCOL.TXT").substr(earlier.size()), reference_home));
  ASSERT_EQ(reference.size(), 305u);  // the header's three lines, X, 300 D and X
  struct Case {
    const char* what;
    std::optional<std::chrono::milliseconds> release;  // after the signal, or never
    bool read_again;                                   // or read only after the end
  } cases[] = {
      {"the holder lets go 50 ms after the signal", 50ms, false},
      {"the holder keeps the file", {}, false},
      {"the holder keeps the file, the screen is read again", {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SessionBesideAHolder session(earlier, RunningProgram::Screen::Small);
    ASSERT_TRUE(session.held);
    session.program.type(input);
    ASSERT_TRUE(session.program.shows("records:\n", 60));
    std::this_thread::sleep_for(200ms);
    session.program.signal(SIGTERM);
    if (c.release) {
      std::this_thread::sleep_for(*c.release);
      EXPECT_TRUE(session.holder.release());
    }
    const ProgramRun run = session.program.end(30, !c.read_again);
    EXPECT_TRUE(ended_by(run, SIGTERM)) << "wait status " << run.status << "\n" << run.notes;
    std::vector<std::string> records = named_records(run.output);
    for (std::string& record : records)
      if (record.starts_with("  Yr: ")) record = "  Yr: (date and time)";
    // The signal came while the end named the records: the screen had not
    // taken them all.
    const std::size_t first_named = run.output.find(HELD_FOR);
    EXPECT_LT(named_records(run.output.substr(0, run.output.find(HELD_FOR, first_named + 1))).size(), reference.size());
    const std::vector<std::string> appended =
        testing::split_lines(comparable(session.home.read("PROT/PROTOCOL.TXT").substr(earlier.size()), session.home));
    records.insert(records.end(), appended.begin(), appended.end());
    EXPECT_EQ(records, reference);
    if (!c.release) {
      EXPECT_TRUE(session.holder.release());
    }
  }
}

// Runs that end together, each by a termination signal, beside a process
// that holds their protocol file, with no screen to name their kept records
// on: each appends its records without a turn, the runs one after the other,
// so that none finds another's records half written at the end of the file.
// No empty line between them, no two records on one line, every record once.
// Eight folders of four runs each, at the same time.
TEST(Program, RunsEndedTogetherWithoutAScreenAppendOneAfterTheOther) {
  constexpr int FOLDERS = 8, RUNS = 4, DIVES = 60;
  const std::string earlier = "  earlier run\n";
  struct Folder {
    TempHome home;
    std::optional<testing::LockHolder> holder;
    std::vector<std::unique_ptr<RunningProgram>> runs;
  } folders[FOLDERS];
  for (Folder& f : folders) {
    f.home.write("PROT/PROTOCOL.TXT", earlier);
    f.holder.emplace(f.home.prot("PROTOCOL.TXT"), LOCK_EX);
    ASSERT_TRUE(f.holder->holding());
    // Each run dives to a depth of its own, so that its records tell whose
    // they are.
    for (int r = 0; r < RUNS; ++r) {
      f.runs.push_back(std::make_unique<RunningProgram>(f.home, RunningProgram::Screen::Nowhere));
      std::string input = "Tauchgang\n";
      for (int i = 0; i < DIVES; ++i) input += "D\n" + std::to_string(20 + r) + ".\n1.\n";
      f.runs.back()->type(input);
    }
  }
  // The wait for the turn is spent and every record is kept.
  ::usleep(4500 * 1000);
  for (Folder& f : folders)
    for (auto& run : f.runs) run->signal(SIGTERM);
  for (Folder& f : folders) {
    SCOPED_TRACE(f.home.path().string());
    for (auto& run : f.runs) {
      const ProgramRun ended = run->end(30);
      EXPECT_TRUE(ended_by(ended, SIGTERM)) << "wait status " << ended.status << "\n" << ended.notes;
    }
    EXPECT_TRUE(f.holder->release());
    const std::string protocol = f.home.read("PROT/PROTOCOL.TXT");
    ASSERT_TRUE(protocol.starts_with(earlier));
    EXPECT_EQ(protocol.find("\n\n"), std::string::npos) << "an empty line";
    const std::vector<std::string> lines = testing::split_lines(protocol.substr(earlier.size()));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(RUNS * (4 + DIVES)));  // the header's three lines, X and D
    for (int r = 0; r < RUNS; ++r) {
      // The records of a run stand in its order, each once.
      std::vector<std::string> dives;
      const std::string depth = " D   " + std::to_string(20 + r) + ".0      1.0";
      for (const std::string& line : lines)
        if (line.starts_with(depth)) dives.push_back(line.substr(0, 27));
      std::vector<std::string> expected;
      for (int i = 1; i <= DIVES; ++i) {
        char total[16];
        std::snprintf(total, sizeof total, "%7d.0", i);
        expected.push_back(depth + total);
      }
      EXPECT_EQ(dives, expected) << "the run to " << 20 + r << " m";
    }
    for (const std::string& line : lines) EXPECT_LE(line.size(), 100u) << "two records on one line: " << line;
  }
}

// Where no screen takes the records (the output goes nowhere, its reader has
// gone away, or it takes nothing for a second), nobody is left to tell:
// the run appends them as they are, without a turn, and ends by the signal.
TEST(Program, RecordsAnEndingSignalCannotShowAreAppendedWithoutATurn) {
  using clock = std::chrono::steady_clock;
  const std::string dive = "Tauchgang\nD\n20.\n1.\n";
  std::string tables = "Tauchgang\n";
  for (int i = 0; i < 200; ++i) tables += "T\n";
  const std::string earlier = "  earlier run\n";
  TempHome reference_home;
  reference_home.write("PROT/PROTOCOL.TXT", earlier);
  ASSERT_TRUE(run_program(dive, reference_home).exited_with(0));
  std::vector<std::string> reference = testing::split_lines(reference_home.read("PROT/PROTOCOL.TXT"));
  reference.pop_back();  // the end record, which a run ended by a signal does not write
  struct Case {
    const char* what;
    RunningProgram::Screen screen;
    int signal;
    const std::string& input;
    std::size_t records;
  } cases[] = {
      {"output to /dev/null", RunningProgram::Screen::Nowhere, SIGTERM, dive, 5},
      {"a reader gone away", RunningProgram::Screen::Gone, SIGHUP, dive, 5},
      {"a full pipe nobody reads", RunningProgram::Screen::Unread, SIGINT, tables, 4},
  };
  std::vector<std::unique_ptr<SessionBesideAHolder>> sessions;
  for (const Case& c : cases) {
    sessions.push_back(std::make_unique<SessionBesideAHolder>(earlier, c.screen));
    ASSERT_TRUE(sessions.back()->held);
    sessions.back()->program.type(c.input);
  }
  // The wait for the turn is spent, the records are kept, and the tables
  // have filled the pipe.
  ::usleep(4500 * 1000);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.what);
    const clock::time_point signalled = clock::now();
    SessionBesideAHolder& session = *sessions[i];
    session.program.signal(c.signal);
    const ProgramRun run = session.program.end(30);
    EXPECT_LT(clock::now() - signalled, std::chrono::milliseconds(1500)) << "the run waits for its screen";
    EXPECT_TRUE(ended_by(run, c.signal)) << "wait status " << run.status << "\n" << run.notes;
    std::vector<std::string> lines = testing::split_lines(session.home.read("PROT/PROTOCOL.TXT"));
    ASSERT_EQ(lines.size(), 1 + c.records);
    for (std::size_t r = 0; r <= c.records; ++r)
      EXPECT_EQ(comparable(lines[r], session.home), comparable(reference[r], reference_home)) << "line " << r + 1;
    EXPECT_TRUE(session.holder.release());
  }
}

// At the end of a run, by Q or by the end of its input, whose screen is gone
// (its output goes nowhere, or its reader has gone away), the records that
// found no turn cannot be named to anyone: they are appended without a turn.
TEST(Program, RecordsTheEndOfARunCannotShowAreAppendedWithoutATurn) {
  const std::string dive = "Tauchgang\nD\n20.\n1.\n";
  const std::string earlier = "  earlier run\n";
  TempHome reference_home;
  reference_home.write("PROT/PROTOCOL.TXT", earlier);
  ASSERT_TRUE(run_program(dive, reference_home).exited_with(0));
  const std::string reference = comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home);
  struct Case {
    const char* what;
    RunningProgram::Screen screen;
    std::string end;
  } cases[] = {
      {"output to /dev/null, Q", RunningProgram::Screen::Nowhere, "q\n"},
      {"a reader gone away, the end of the input", RunningProgram::Screen::Gone, ""},
  };
  std::vector<std::unique_ptr<SessionBesideAHolder>> sessions;
  for (const Case& c : cases) {
    sessions.push_back(std::make_unique<SessionBesideAHolder>(earlier, c.screen));
    ASSERT_TRUE(sessions.back()->held);
    sessions.back()->program.type(dive + c.end);
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    SessionBesideAHolder& session = *sessions[i];
    const ProgramRun run = session.program.end(30);
    EXPECT_TRUE(run.exited_with(0)) << "wait status " << run.status << "\n" << run.notes;
    EXPECT_EQ(testing::line_diff(reference, comparable(session.home.read("PROT/PROTOCOL.TXT"), session.home)), "");
    EXPECT_TRUE(session.holder.release());
  }
}

// Another program that shares the terminal or pipe may leave standard input
// or output non-blocking. The program waits for the typist and for a slow
// reader as on a blocking one: every answer is read whole, and the screen
// text arrives whole and in order, as in a run without the flag.
TEST(Program, ANonBlockingInputOrOutputIsWaitedFor) {
  std::string tables = "Tauchgang\n";
  for (int i = 0; i < 200; ++i) tables += "T\n";
  tables += "q\n";
  struct Case {
    const char* what;
    std::string input;
    Start start;
  } cases[] = {
      {"input", "Tauchgang\nD\n30.\n20.\nA\n0.\nq\n", {.nonblocking_input = true}},
      {"output", tables, {.nonblocking_output = true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("non-blocking ") + c.what);
    TempHome reference_home, home;
    const ProgramRun reference = run_program(c.input, reference_home);
    ASSERT_TRUE(reference.exited_with(0));
    if (c.start.nonblocking_output) {
      ASSERT_GT(reference.output.size(), 2u * 65536) << "the pipe does not fill";
    }
    const ProgramRun run = run_program(c.input, home, c.start);
    ASSERT_TRUE(run.ended) << "the program hangs";
    EXPECT_TRUE(run.exited_with(0)) << "wait status " << run.status << "\n" << run.notes;
    const std::string expected = comparable(reference.output, reference_home), got = comparable(run.output, home);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_EQ(testing::line_diff(expected, got), "");
    EXPECT_EQ(run.notes, reference.notes);
    EXPECT_EQ(comparable(home.read("PROT/PROTOCOL.TXT"), home),
              comparable(reference_home.read("PROT/PROTOCOL.TXT"), reference_home));
  }
}

// A state-file name typed past the console's read width: the console keeps
// whole characters only, so the last letters of the name are whole ones and
// the character the width cuts a blank.
TEST(Program, AStateFileNameTypedPastTheReadWidthKeepsWholeCharacters) {
  TempHome home;
  const std::string name = std::string(127, 'n') + "\xC3\x84" + "x";
  const ProgramRun run = run_program("Tauchgang\nF\n" + name + "\nW\nq\n", home);
  ASSERT_TRUE(run.exited_with(0)) << run.notes;
  EXPECT_NE(run.output.find(" Filename = ? nnnnnnn        128\n"), std::string::npos) << run.output;
  EXPECT_EQ(names_in(home.path() / "PROT"), (std::vector<std::string>{"PROTOCOL.TXT", "nnnnnnn .TXT"}));
}

}  // namespace
}  // namespace orva
