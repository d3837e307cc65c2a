#include "platform/console.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orva
