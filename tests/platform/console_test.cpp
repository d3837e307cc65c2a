#include "platform/console.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_platform.hpp"

namespace orva {
namespace {

using testing::FakePlatform;

TEST(AskValue, ReasksOnlyThePromptLineUntilTheAnswerIsGoodAndAccepted) {
  FakePlatform p({"abc", "1,5", "30."}, "/nonexistent");
  write(p, R"(" ", "Heading")");
  double v = ask_value(p, R"(" ", "Tiefe: ", $)", 5, 1, [](double x) { return within(x, 1.0Q, 100.0Q); });
  EXPECT_EQ(v, 30.0);
  // "abc" is malformed, "1,5" reads 0.1 (outside the range): two re-asks.
  EXPECT_EQ(p.output(), " Heading\n Tiefe:  Tiefe:  Tiefe: ");
  EXPECT_EQ(p.unread(), 0u);
}

TEST(AskValue, EndOfInputEndsTheQuestion) {
  FakePlatform p({"x"}, "/nonexistent");
  EXPECT_THROW(ask_value(p, R"("? ", $)", 5, 1), EndOfInput);
}

TEST(AskInteger, RejectsAPointInAnIntegerField) {
  FakePlatform p({"1.", "7"}, "/nonexistent");
  EXPECT_EQ(ask_integer(p, R"("Nr: ", $)", 2), 7);
  EXPECT_EQ(p.output(), "Nr: Nr: ");
}

TEST(Write, APromptAndTheNextWriteShareOneLine) {
  FakePlatform p({}, "/nonexistent");
  write(p, R"(" ", "Frage: ", $)");
  write(p, R"("Antwort")");
  EXPECT_EQ(p.output(), " Frage: Antwort\n");
}

TEST(ShellEscape, ShowsTheMessageAgainAfterEachLineAndReturnsOnAnEmptyOne) {
  FakePlatform p({"echo hello", ""}, "/nonexistent");
  console_shell_escape(p, "MSG");
  EXPECT_EQ(p.output(), "MSG\nhello\nMSG\n");
}

// Only the typed command itself is ever run: a line the console could not
// keep whole (a folder name cut at the 128th character could make a remove
// command take the folder above), or one a zero character would end early,
// is refused; a line of blanks is a command like any other.
TEST(ShellEscape, HandsOnOnlyWholeLines) {
  const std::string longest = "echo " + std::string(CONSOLE_LINE_LENGTH - 5, 'x');
  struct Case {
    const char* what;
    std::string typed;
    std::vector<std::string> run;
    std::string shown;
  } cases[] = {
      {"a line of blanks", "   ", {"   "}, "MSG\nMSG\n"},
      {"the longest line the console keeps", longest, {longest}, "MSG\n" + longest.substr(5) + "\nMSG\n"},
      {"one character more", longest + "y", {},
       "MSG\n  Befehl laenger als 128 Zeichen - nicht ausgefuehrt!\nMSG\n"},
      {"a zero character", std::string("echo a\0b", 9), {},
       "MSG\n  Befehl mit Nullzeichen - nicht ausgefuehrt!\nMSG\n"},
  };
  for (const Case& c : cases) {
    FakePlatform p({c.typed, ""}, "/nonexistent");
    console_shell_escape(p, "MSG");
    EXPECT_EQ(p.commands_run(), c.run) << c.what;
    EXPECT_EQ(p.output(), c.shown) << c.what;
    EXPECT_EQ(p.unread(), 0u) << c.what;
  }
}

}  // namespace
}  // namespace orva
