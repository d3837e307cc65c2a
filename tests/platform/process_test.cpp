// The work of an ending signal: it runs once, and the run ends with it, by
// the signal, wherever the signal found the run.
#include "platform/process.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

#include "support/child_process.hpp"

namespace orva {
namespace {

using testing::Child;
using testing::Pipe;
using testing::byte_arrives;

// The work of the child: tells the test through its pipe, and, once, sends
// the child a second ending signal.
int told_to = -1;
int second_signal = 0;
void tell_the_test(void*) {
  (void)!::write(told_to, "work\n", 5);
  if (second_signal != 0) ::kill(::getpid(), second_signal);
  second_signal = 0;
}

// A termination signal comes while the run waits with the ending signals
// held back but for the wait, as a run waits for its turn at the protocol;
// or a second ending signal comes during the work. The work runs once; then
// the run ends by the first signal, and the code the signal interrupted
// never goes on.
TEST(EndingSignalWork, RunsOnceAndTheRunEndsWithItBySignal) {
  struct Case {
    const char* what;
    int second;
  } cases[] = {
      {"one signal", 0},
      {"a second signal during the work", SIGINT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pipe told, waiting;
    Child child([&] {
      told_to = told.write;
      second_signal = c.second;
      EndingSignalWork work(tell_the_test, nullptr);
      work.arm();
      {
        EndingSignalsHeldBack held;
        waiting.send();
        held.sleep(std::chrono::seconds(5));
        (void)!::write(told.write, "went on\n", 8);
      }
      (void)!::write(told.write, "after the wait\n", 15);
      return 0;
    });
    told.close_write();
    ASSERT_TRUE(byte_arrives(waiting.read, 30));
    ::usleep(50 * 1000);
    ::kill(child.pid(), SIGTERM);
    const std::optional<int> status = child.wait(30);
    ASSERT_TRUE(status) << "the child hangs";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "wait status " << *status;
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(told.read, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    EXPECT_EQ(text, "work\n");
  }
}

}  // namespace
}  // namespace orva
