#include "platform/terminal_platform.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "support/child_process.hpp"

namespace orva {
namespace {

// The lines the console reads from a text, to the end of the input.
std::vector<TypedLine> lines_of(const std::string& input) {
  std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  std::vector<TypedLine> lines;
  while (auto line = read_console_line(in)) lines.push_back(*line);
  std::fclose(in);
  return lines;
}

// One typed line and what the console keeps of it.
struct LineCase {
  const char* what;
  std::string input;
  std::string text;
  bool cut;
};

void expect_lines(std::span<const LineCase> cases) {
  for (const LineCase& c : cases) {
    std::vector<TypedLine> lines = lines_of(c.input);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].text, c.text) << c.what;
    EXPECT_EQ(lines[0].cut, c.cut) << c.what;
  }
}

TEST(ReadConsoleLine, KeepsTheFirstCharactersOfEachLineAndTellsWhenMoreWereTyped) {
  const std::string kept(CONSOLE_LINE_LENGTH, 'k');
  const LineCase cases[] = {
      {"a short line", "D\n", "D", false},
      {"an empty line", "\n", "", false},
      {"a CR before the line end", "30.\r\n", "30.", false},
      {"the longest line kept", kept + "\n", kept, false},
      {"the longest line kept, with a CR", kept + "\r\n", kept, false},
      {"one character more", kept + "x\n", kept, true},
      {"one character more, with a CR", kept + "x\r\n", kept, true},
      {"a much longer line", kept + std::string(100000, 'x') + "\r\n", kept, true},
      {"a last line without its end", "q", "q", false},
      {"a CR inside the line stays", "a\rb\n", "a\rb", false},
  };
  expect_lines(cases);
}

// The console keeps whole characters only: a UTF-8 character that its read
// width cuts becomes blanks, one for each of its bytes inside the width, as
// a field edge cuts it.
TEST(ReadConsoleLine, ACharacterTheReadWidthCutsBecomesBlanks) {
  const std::string AE = "\xC3\x84", EURO = "\xE2\x82\xAC", CLEF = "\xF0\x9D\x84\x9E";
  const auto letters = [](std::size_t n) { return std::string(n, 'n'); };
  const LineCase cases[] = {
      {"an umlaut cut after its first byte", letters(127) + AE + "x\n", letters(127) + " ", true},
      {"an umlaut that ends the line, cut", letters(127) + AE + "\r\n", letters(127) + " ", true},
      {"an umlaut just inside", letters(126) + AE + "x\n", letters(126) + AE, true},
      {"an umlaut that fills the width", letters(126) + AE + "\r\n", letters(126) + AE, false},
      {"a three-byte character cut after one byte", letters(127) + EURO + "\n", letters(127) + " ", true},
      {"a three-byte character cut after two bytes", letters(126) + EURO + "x\r\n", letters(126) + "  ", true},
      {"a three-byte character just inside", letters(125) + EURO + "x\n", letters(125) + EURO, true},
      {"a four-byte character cut after one byte", letters(127) + CLEF + "\r\n", letters(127) + " ", true},
      {"a four-byte character cut after two bytes", letters(126) + CLEF + "xyz\n", letters(126) + "  ", true},
      {"a four-byte character cut after three bytes", letters(125) + CLEF + "\n", letters(125) + "   ", true},
      {"a four-byte character that fills the width", letters(124) + CLEF + "\n", letters(124) + CLEF, false},
      {"a character cut in a much longer line", letters(126) + EURO + std::string(1000, 'x') + "\n",
       letters(126) + "  ", true},
      // Bytes that are no UTF-8 character (Latin-1 text) are cut as they are.
      {"Latin-1 umlauts", letters(127) + "\xC4\xD6\n", letters(127) + "\xC4", true},
      {"a lead byte without the rest", letters(127) + "\xC3x\n", letters(127) + "\xC3", true},
  };
  expect_lines(cases);
}

TEST(ReadConsoleLine, TheLineAfterALongOneIsReadWhole) {
  std::vector<TypedLine> lines = lines_of(std::string(1000, 'x') + "\nq\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].cut);
  EXPECT_EQ(lines[1].text, "q");
  EXPECT_FALSE(lines[1].cut);
}

TEST(ReadConsoleLine, NothingAtTheEndOfTheInput) {
  EXPECT_TRUE(lines_of("").empty());
  EXPECT_EQ(lines_of("\n\n").size(), 2u);
}

// A typed line of 256 MB costs the reader no more than its kept characters:
// the child that reads it through a pipe grows by far less than the line.
TEST(ReadConsoleLine, AHugeLineIsNeverHeldInMemory) {
  constexpr std::size_t HUGE_LINE = std::size_t{256} << 20;
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  rusage self{};
  ::getrusage(RUSAGE_SELF, &self);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipe_fds[1]);
    std::FILE* in = ::fdopen(pipe_fds[0], "r");
    std::optional<TypedLine> first = read_console_line(in);
    std::optional<TypedLine> second = read_console_line(in);
    const bool right = first && first->cut && first->text == std::string(CONSOLE_LINE_LENGTH, 'x') && second &&
                       second->text == "q" && !read_console_line(in);
    ::_exit(right ? 0 : 1);
  }
  ::close(pipe_fds[0]);
  const std::string block(1 << 20, 'x');
  bool written = true;
  for (std::size_t sent = 0; sent < HUGE_LINE && written; sent += block.size())
    written = ::write(pipe_fds[1], block.data(), block.size()) == static_cast<ssize_t>(block.size());
  written = written && ::write(pipe_fds[1], "\nq\n", 3) == 3;
  ::close(pipe_fds[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(written);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  rusage children{};
  ::getrusage(RUSAGE_CHILDREN, &children);
  // ru_maxrss is in KiB; the child starts as a copy of this process.
  EXPECT_LT(children.ru_maxrss, self.ru_maxrss + 32 * 1024) << "the child grew by the line it read";
}

// A write to a pipe whose reader has ended (the child killed at its
// deadline) fails instead of ending the test.
class BrokenPipesFail {
 public:
  BrokenPipesFail() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &old_);
  }
  ~BrokenPipesFail() { ::sigaction(SIGPIPE, &old_, nullptr); }

 private:
  struct sigaction old_ {};
};

// All that comes through the descriptor until its writers have closed it,
// for at most `seconds`.
std::string read_to_end(int fd, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  std::string text;
  pollfd p{fd, POLLIN, 0};
  while (std::chrono::steady_clock::now() < deadline) {
    if (::poll(&p, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0)
      text.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR)
      break;
  }
  return text;
}

bool make_nonblocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Another program that shares the terminal or pipe may leave it
// non-blocking. A read that finds nothing typed yet waits for it: the line
// is read whole, and only the real end of the input ends the input.
TEST(ReadConsoleLine, ANonBlockingInputIsWaitedFor) {
  struct Case {
    const char* what;
    std::vector<std::string> pieces;  // the first there at once, each other one after a pause
    std::string lines;                // the lines read, each ended
  } cases[] = {
      {"nothing typed yet", {"", "q\n"}, "q\n"},
      {"an answer typed in two pieces", {"2", "0.\n", "q\n"}, "20.\nq\n"},
      {"a CR in the second piece, the last line without its end", {"D\n3", "0.\r\n", "q"}, "D\n30.\nq\n"},
  };
  BrokenPipesFail broken_pipes_fail;
  for (const Case& c : cases) {
    testing::Pipe input, read_lines;
    (void)!::write(input.write, c.pieces[0].data(), c.pieces[0].size());
    testing::Child reader([&] {
      ::close(input.write);
      ::close(read_lines.read);
      if (!make_nonblocking(input.read)) return 2;
      std::FILE* in = ::fdopen(input.read, "r");
      if (!in) return 2;
      while (std::optional<TypedLine> line = read_console_line(in)) {
        const std::string text = line->text + "\n";
        if (::write(read_lines.write, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return 3;
      }
      return 0;
    });
    ASSERT_TRUE(reader.started());
    input.close_read();
    read_lines.close_write();
    for (std::size_t i = 1; i < c.pieces.size(); ++i) {
      ::usleep(150 * 1000);
      (void)!::write(input.write, c.pieces[i].data(), c.pieces[i].size());
    }
    input.close_write();
    EXPECT_EQ(read_to_end(read_lines.read, 10), c.lines) << c.what;
    const std::optional<int> status = reader.wait(10);
    ASSERT_TRUE(status) << c.what << ": the reader hangs";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << c.what << ": wait status " << *status;
  }
}

// A read error other than finding nothing typed yet still ends the input:
// it is not waited for.
TEST(ReadConsoleLine, AReadErrorEndsTheInput) {
  testing::Child reader([] {
    const int folder = ::open("/", O_RDONLY | O_NONBLOCK);
    std::FILE* in = folder >= 0 ? ::fdopen(folder, "r") : nullptr;
    if (!in) return 2;
    return read_console_line(in) ? 1 : 0;
  });
  ASSERT_TRUE(reader.started());
  const std::optional<int> status = reader.wait(10);
  ASSERT_TRUE(status) << "the read error is waited for";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
}

// A non-blocking output whose reader is slow for a moment gets all of the
// text, whole and in order: a full pipe is waited for, not given up.
TEST(TerminalPlatform, ANonBlockingOutputGetsAllOfTheText) {
  struct Case {
    const char* what;
    int fd;
    std::function<void(TerminalPlatform&, const std::string&)> write_line;
  } cases[] = {
      {"screen text", STDOUT_FILENO,
       [](TerminalPlatform& p, const std::string& line) {
         p.console_write_prompt(line.substr(0, 10));
         p.console_write_line(line.substr(10));
       }},
      {"notes", STDERR_FILENO, [](TerminalPlatform& p, const std::string& line) { p.console_note(line); }},
  };
  // Far more than a pipe holds.
  std::vector<std::string> lines;
  std::string expected;
  for (int i = 0; i < 4000; ++i) {
    lines.push_back("  line " + std::to_string(i) + std::string(60, '.') + std::to_string(i));
    expected += lines.back() + "\n";
  }
  for (const Case& c : cases) {
    testing::Pipe screen;
    testing::Child writer([&] {
      if (::dup2(screen.write, c.fd) < 0 || !make_nonblocking(c.fd)) return 2;
      ::close(screen.read);
      ::close(screen.write);
      TerminalPlatform platform(nullptr);
      for (const std::string& line : lines) c.write_line(platform, line);
      return 0;
    });
    ASSERT_TRUE(writer.started());
    screen.close_write();
    // The reader comes only when the writer has filled the pipe.
    const int capacity = ::fcntl(screen.read, F_GETPIPE_SZ);
    ASSERT_GT(capacity, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int waiting = 0;
    while (::ioctl(screen.read, FIONREAD, &waiting) == 0 && waiting < capacity - 4096 &&
           std::chrono::steady_clock::now() < deadline)
      ::usleep(1000);
    ::usleep(100 * 1000);
    const std::string got = read_to_end(screen.read, 10);
    EXPECT_EQ(got.size(), expected.size()) << c.what;
    EXPECT_TRUE(got == expected) << c.what << ": the text differs";
    const std::optional<int> status = writer.wait(10);
    ASSERT_TRUE(status) << c.what << ": the writer hangs";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << c.what << ": wait status " << *status;
  }
}

}  // namespace
}  // namespace orva
