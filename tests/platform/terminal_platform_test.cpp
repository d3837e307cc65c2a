#include "platform/terminal_platform.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

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

TEST(ReadConsoleLine, KeepsTheFirstCharactersOfEachLineAndTellsWhenMoreWereTyped) {
  const std::string kept(CONSOLE_LINE_LENGTH, 'k');
  struct Case {
    const char* what;
    std::string input;
    std::string text;
    bool cut;
  } cases[] = {
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
  for (const Case& c : cases) {
    std::vector<TypedLine> lines = lines_of(c.input);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].text, c.text) << c.what;
    EXPECT_EQ(lines[0].cut, c.cut) << c.what;
  }
}

// The console keeps whole characters only: a UTF-8 character that its read
// width cuts becomes blanks, one for each of its bytes inside the width, as
// a field edge cuts it.
TEST(ReadConsoleLine, ACharacterTheReadWidthCutsBecomesBlanks) {
  const std::string AE = "\xC3\x84", EURO = "\xE2\x82\xAC", CLEF = "\xF0\x9D\x84\x9E";
  const auto letters = [](std::size_t n) { return std::string(n, 'n'); };
  struct Case {
    const char* what;
    std::string input;
    std::string text;
    bool cut;
  } cases[] = {
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
  for (const Case& c : cases) {
    std::vector<TypedLine> lines = lines_of(c.input);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].text, c.text) << c.what;
    EXPECT_EQ(lines[0].cut, c.cut) << c.what;
  }
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

}  // namespace
}  // namespace orva
