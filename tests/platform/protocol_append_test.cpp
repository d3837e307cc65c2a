// The protocol file under faults: a file that may not grow, runs that append
// at the same moment, another process holding the file, and an ending signal
// at any moment of a run that keeps records for a later turn.
#include "platform/protocol_append.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/file_faults.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::FileSizeLimit;
using testing::Pipe;
using testing::TempHome;
using testing::byte_arrives;

const std::string RECORD(83, 'x');

// A read that blocks fails the test instead of hanging it.
struct Deadline {
  explicit Deadline(unsigned seconds) { ::alarm(seconds); }
  ~Deadline() { ::alarm(0); }
};

TEST(AppendFile, ARecordThatDoesNotFitIsTakenBackWhole) {
  TempHome home;
  const fs::path file = home.prot("PROTOCOL.TXT");
  AppendFile f;
  ASSERT_TRUE(f.open(file));
  EXPECT_EQ(f.write_record(RECORD), std::nullopt);
  std::optional<std::string> fault;
  {
    // Half of the second record would fit.
    FileSizeLimit limit(84 + 40);
    fault = f.write_record(RECORD);
  }
  EXPECT_EQ(fault, std::optional<std::string>("File too large"));
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), RECORD + "\n");
  // Room again: the next record lands on a line of its own.
  EXPECT_EQ(f.write_record("next"), std::nullopt);
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), RECORD + "\nnext\n");
}

// Two runs append to one protocol file. One of them may not let any file
// grow (its file size limit lies far below the file's size), so each of its
// records fails and is taken back, again and again, while the other run
// appends its records: the undo never cuts one of them.
TEST(AppendFile, TakingBackARecordLeavesAnotherRunsRecords) {
  TempHome home;
  const std::string first_line(4095, 'h');
  home.write("PROT/PROTOCOL.TXT", first_line + "\n");
  const fs::path file = home.prot("PROTOCOL.TXT");
  Pipe started, stop;
  Child failing([&] {
    stop.close_write();
    AppendFile f;
    if (!f.open(file)) return 2;
    FileSizeLimit limit(1024);
    started.send();
    // Until the test says stop, or is gone.
    pollfd stopped{stop.read, POLLIN, 0};
    int failures = 0;
    do failures += f.write_record(RECORD) == std::optional<std::string>("File too large");
    while (::poll(&stopped, 1, 0) == 0);
    return failures > 0 ? 0 : 3;
  });
  ASSERT_TRUE(failing.started());
  ASSERT_TRUE(byte_arrives(started.read, 30));
  const int RECORDS = 3000;
  Child appending([&] {
    AppendFile f;
    if (!f.open(file)) return 2;
    for (int i = 0; i < RECORDS; ++i)
      if (f.write_record("record " + std::to_string(i))) return 1;
    return f.finish().unwritten.empty() ? 0 : 4;
  });
  ASSERT_TRUE(appending.started());
  const std::optional<int> appended = appending.wait(60);
  stop.send();
  const std::optional<int> failed = failing.wait(60);
  ASSERT_TRUE(appended && WIFEXITED(*appended)) << "the appending run hangs or was killed";
  EXPECT_EQ(WEXITSTATUS(*appended), 0);
  ASSERT_TRUE(failed && WIFEXITED(*failed)) << "the failing run hangs or was killed";
  EXPECT_EQ(WEXITSTATUS(*failed), 0) << "its records did not fail";

  std::string expected = first_line + "\n";
  for (int i = 0; i < RECORDS; ++i) expected += "record " + std::to_string(i) + "\n";
  const std::string text = home.read("PROT/PROTOCOL.TXT");
  EXPECT_EQ(text.size(), expected.size());
  EXPECT_TRUE(text == expected) << "records of the appending run are missing";
}

// Three runs append to one protocol file while a fourth has each of its
// records cut by its file size limit and takes it back, again and again.
// Either another process holds the file exclusively at first, for longer
// than the runs wait in all, so every run goes on with its wait spent,
// taking its turns at once or keeping its records for a later turn; or a
// reader holds the file throughout, and the runs take their turns among
// themselves beside it. Every record of the three arrives whole, once and in
// its run's order, and nothing of the fourth's stays.
TEST(AppendFile, RunsWhoseWaitIsSpentLoseNoRecordToAnotherRunsUndo) {
  for (const int held : {LOCK_EX, LOCK_SH}) {
    SCOPED_TRACE(held == LOCK_EX ? "held exclusively at first" : "a reader holds the file throughout");
    TempHome home;
    home.write("PROT/PROTOCOL.TXT", "earlier run\n");
    const fs::path file = home.prot("PROTOCOL.TXT");
    testing::LockHolder holder(file, held);
    ASSERT_TRUE(holder.holding());
    Pipe stop;
    Child cutting([&] {
      stop.close_write();
      AppendFile f;
      if (!f.open(file)) return 2;
      pollfd stopped{stop.read, POLLIN, 0};
      int cuts = 0;
      do {
        std::error_code error;
        const auto size = fs::file_size(file, error);
        if (error) return 3;
        // Half a record fits.
        FileSizeLimit limit(size + RECORD.size() / 2);
        cuts += f.write_record(RECORD) == std::optional<std::string>("File too large");
        // A run computes between two records; one that held the file all the
        // time would leave the others no turn but at their end.
        ::usleep(200);
      } while (::poll(&stopped, 1, 0) == 0);
      return cuts > 0 ? 0 : 4;
    });
    ASSERT_TRUE(cutting.started());
    const int RUNS = 3, RECORDS = 400;
    auto run_name = [](int run) { return std::string(1, static_cast<char>('A' + run)); };
    Pipe spent, go_on;
    std::vector<std::unique_ptr<Child>> appending;
    for (int run = 0; run < RUNS; ++run)
      appending.push_back(std::make_unique<Child>([&, run] {
        go_on.close_write();
        AppendFile f;
        if (!f.open(file)) return 2;
        for (int i = 0; i < RECORDS; ++i) {
          if (f.write_record(run_name(run) + " " + std::to_string(i))) return 1;
          ::usleep(50);
          // The first record spent the wait, where the file was held
          // exclusively; the rest come once it is free.
          if (i == 0) {
            spent.send();
            if (!byte_arrives(go_on.read, 30)) return 3;
          }
        }
        const AppendFile::End end = f.finish();
        return end.fault || !end.unwritten.empty() ? 5 : 0;
      }));
    for (int run = 0; run < RUNS; ++run) ASSERT_TRUE(byte_arrives(spent.read, 30)) << "a run never spent its wait";
    if (held == LOCK_EX) {
      EXPECT_TRUE(holder.release());
    }
    for (int run = 0; run < RUNS; ++run) go_on.send();
    for (int run = 0; run < RUNS; ++run) {
      const std::optional<int> status = appending[run]->wait(60);
      ASSERT_TRUE(status && WIFEXITED(*status)) << "run " << run_name(run) << " hangs or was killed";
      EXPECT_EQ(WEXITSTATUS(*status), 0) << "run " << run_name(run);
    }
    stop.send();
    const std::optional<int> cut = cutting.wait(60);
    ASSERT_TRUE(cut && WIFEXITED(*cut)) << "the cutting run hangs or was killed";
    EXPECT_EQ(WEXITSTATUS(*cut), 0) << "its records were not cut";

    std::istringstream text(home.read("PROT/PROTOCOL.TXT"));
    std::string line;
    ASSERT_TRUE(std::getline(text, line));
    EXPECT_EQ(line, "earlier run");
    std::vector<int> next(RUNS, 0);
    while (std::getline(text, line)) {
      const int run = line.size() > 2 && line[1] == ' ' ? line[0] - 'A' : -1;
      if (run >= 0 && run < RUNS && line.substr(2) == std::to_string(next[run]))
        ++next[run];
      else
        ADD_FAILURE() << "a stray line: " << line;
    }
    for (int run = 0; run < RUNS; ++run) EXPECT_EQ(next[run], RECORDS) << "records of run " << run_name(run) << " are lost";
    if (held == LOCK_SH) {
      EXPECT_TRUE(holder.release());
    }
  }
}

// A reader that holds the protocol file with a shared lock (as "flock -s"
// does) and does not let go. It delays no run: the records go on whole, in
// order, while the reader holds the file, each in its turn among the runs
// that append, and a record that could be written only in part is taken
// back.
TEST(AppendFile, AReaderHoldingTheFileDelaysNoRun) {
  using clock = std::chrono::steady_clock;
  TempHome home;
  home.write("PROT/PROTOCOL.TXT", "earlier run\n");
  const fs::path file = home.prot("PROTOCOL.TXT");
  testing::LockHolder holder(file, LOCK_SH);
  ASSERT_TRUE(holder.holding());

  AppendFile f;
  ASSERT_TRUE(f.open(file));
  const clock::time_point start = clock::now();
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(f.write_record("record " + std::to_string(i)), std::nullopt);
  EXPECT_LT(clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\nrecord 1\nrecord 2\nrecord 3\nrecord 4\nrecord 5\n");
  std::optional<std::string> fault;
  {
    FileSizeLimit limit(home.read("PROT/PROTOCOL.TXT").size() + 4);
    fault = f.write_record("cut record");
  }
  EXPECT_EQ(fault, std::optional<std::string>("File too large"));
  EXPECT_EQ(f.write_record("after the cut"), std::nullopt);
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(f.write_record("last"), std::nullopt);
  EXPECT_TRUE(f.finish().unwritten.empty());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"),
            "earlier run\nrecord 1\nrecord 2\nrecord 3\nrecord 4\nrecord 5\nafter the cut\nlast\n");
}

// Another process holds the protocol file exclusively and does not let go
// for a while: another run in the middle of a record that is taken back, or
// stuck inside a write to a network folder. Whatever this run appended now
// could go with the other run's undo, so its records wait, in order, for the
// next turn, which the first record after the lock is free takes. The run
// waits PROTOCOL_LOCK_WAIT in all, and at its end PROTOCOL_LAST_TURN_WAIT
// more; records that never found a turn are handed back, not lost unseen.
TEST(AppendFile, AFileHeldExclusivelyKeepsTheRecordsForTheNextTurn) {
  using clock = std::chrono::steady_clock;
  TempHome home;
  home.write("PROT/PROTOCOL.TXT", "earlier run\n");
  const fs::path file = home.prot("PROTOCOL.TXT");
  AppendFile f;
  ASSERT_TRUE(f.open(file));
  {
    testing::LockHolder holder(file, LOCK_EX);
    ASSERT_TRUE(holder.holding());
    const clock::time_point start = clock::now();
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(f.write_record("record " + std::to_string(i)), std::nullopt);
    const auto waited = clock::now() - start;
    EXPECT_GE(waited, PROTOCOL_LOCK_WAIT - std::chrono::milliseconds(100));
    EXPECT_LT(waited, PROTOCOL_LOCK_WAIT + std::chrono::seconds(2));
    {
      // Not written now, so not cut either.
      FileSizeLimit limit(home.read("PROT/PROTOCOL.TXT").size() + 4);
      EXPECT_EQ(f.write_record("kept record"), std::nullopt);
    }
    EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\n") << "appended while another run has the turn";
    EXPECT_TRUE(holder.release());
  }
  EXPECT_EQ(f.write_record("next turn"), std::nullopt);
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"),
            "earlier run\nrecord 1\nrecord 2\nrecord 3\nrecord 4\nrecord 5\nkept record\nnext turn\n");

  // Held again until the run ends.
  testing::LockHolder holder(file, LOCK_EX);
  ASSERT_TRUE(holder.holding());
  EXPECT_EQ(f.write_record("end 1"), std::nullopt);
  EXPECT_EQ(f.write_record("end 2"), std::nullopt);
  const clock::time_point start = clock::now();
  const AppendFile::End end = f.finish();
  const auto waited = clock::now() - start;
  EXPECT_GE(waited, PROTOCOL_LAST_TURN_WAIT - std::chrono::milliseconds(10));
  EXPECT_LT(waited, PROTOCOL_LAST_TURN_WAIT + std::chrono::seconds(1));
  EXPECT_EQ(end.fault, std::nullopt);
  EXPECT_EQ(end.unwritten, (std::vector<std::string>{"end 1", "end 2"}));
  // Kept until the run has named them: an ending signal until then still does.
  EXPECT_TRUE(f.is_open());
  f.close();
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"),
            "earlier run\nrecord 1\nrecord 2\nrecord 3\nrecord 4\nrecord 5\nkept record\nnext turn\n");
}

// A run in a child process that appends to the file, its screen (standard
// output) a pipe; what it cannot write it tells behind "  not written: ".
struct RunWithAScreen {
  Pipe screen;
  Child child;
  RunWithAScreen(const fs::path& file, const std::function<int(AppendFile&)>& work)
      : child([&] {
          if (::dup2(screen.write, STDOUT_FILENO) < 0) return 2;
          AppendFile f;
          if (!f.open(file)) return 3;
          f.set_not_written_line("  not written: ");
          return work(f);
        }) {
    screen.close_write();
  }
  // What the run showed on its screen until it ended by a termination
  // signal; nothing when it hangs or ends otherwise.
  std::optional<std::string> told_until_terminated() {
    std::string text;
    char buffer[4096];
    ssize_t n;
    Deadline deadline(30);
    while ((n = ::read(screen.read, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    const std::optional<int> status = child.wait(30);
    if (!status || !WIFSIGNALED(*status) || WTERMSIG(*status) != SIGTERM) return std::nullopt;
    return text;
  }
};

// A termination signal that comes while a record is being added to the kept
// ones waits until the record is whole: then the record gets its last turn
// with the others, and where none comes it is named on the screen with
// them, once.
int records_kept = 0;
void raise_at_the_third_record() {
  if (++records_kept == 3) ::raise(SIGTERM);
}

TEST(AppendFile, AnEndingSignalWhileARecordIsKeptFindsItWhole) {
  for (const bool held : {false, true}) {
    SCOPED_TRACE(held ? "the file held by another process" : "nobody holds the file");
    TempHome home;
    const fs::path file = home.prot("PROTOCOL.TXT");
    home.write("PROT/PROTOCOL.TXT", "earlier run\n");
    std::optional<testing::LockHolder> holder;
    if (held) {
      holder.emplace(file, LOCK_EX);
      ASSERT_TRUE(holder->holding());
    }
    RunWithAScreen run(file, [](AppendFile& f) {
      keep_record_test_hook = raise_at_the_third_record;
      for (int i = 1; i <= 3; ++i)
        if (f.write_record("record " + std::to_string(i))) return 4;
      return 5;
    });
    const std::optional<std::string> told = run.told_until_terminated();
    ASSERT_TRUE(told) << "the run hangs or ends otherwise";
    if (held) {
      EXPECT_EQ(*told, "  not written: held by another process, 3 records:\nrecord 1\nrecord 2\nrecord 3\n");
      EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\n");
      EXPECT_TRUE(holder->release());
    } else {
      EXPECT_EQ(*told, "");
      EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\nrecord 1\nrecord 2\nrecord 3\n");
    }
  }
}

// The turn comes at the signal, but the write of the kept records fails (the
// file size limit): their part is taken back, and the failure is told as at
// the end of a run, unless a failure of the run was told before.
TEST(AppendFile, AFailedWriteAtAnEndingSignalIsToldAsAtTheEnd) {
  for (const bool failed_before : {false, true}) {
    SCOPED_TRACE(failed_before ? "a failure told before" : "the first failure");
    TempHome home;
    const fs::path file = home.prot("PROTOCOL.TXT");
    home.write("PROT/PROTOCOL.TXT", "earlier run\n");
    Pipe first_done, held, kept, go_on;
    std::optional<testing::LockHolder> holder;
    if (!failed_before) {
      holder.emplace(file, LOCK_EX);
      ASSERT_TRUE(holder->holding());
    }
    RunWithAScreen run(file, [&](AppendFile& f) {
      // A limit that cuts the records in their middle.
      FileSizeLimit limit(std::string("earlier run\n").size() + 4);
      if (failed_before) {
        if (f.write_record("a record that does not fit") != std::optional<std::string>("File too large")) return 4;
        first_done.send();
        (void)byte_arrives(held.read, 30);
      }
      if (f.write_record("kept 1") || f.write_record("kept 2")) return 5;
      kept.send();
      (void)byte_arrives(go_on.read, 30);
      ::raise(SIGTERM);
      return 6;
    });
    if (failed_before) {
      // The first write failed in its turn; the next ones find the file held.
      ASSERT_TRUE(byte_arrives(first_done.read, 30));
      holder.emplace(file, LOCK_EX);
      ASSERT_TRUE(holder->holding());
      held.send();
    }
    ASSERT_TRUE(byte_arrives(kept.read, 30));
    EXPECT_TRUE(holder->release());
    go_on.send();
    const std::optional<std::string> told = run.told_until_terminated();
    ASSERT_TRUE(told) << "the run hangs or ends otherwise";
    EXPECT_EQ(*told, failed_before ? "" : "  not written: File too large\n");
    EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\n") << "the cut part is not taken back";
  }
}

// Keeps the records, numbered from 1, behind a holder of the file: the first
// spends the run's wait, the others are kept at once. False when one of them
// was not kept.
bool keep_records(AppendFile& f, int count, const std::string& text = "record ") {
  for (int i = 1; i <= count; ++i)
    if (f.write_record(text + std::to_string(i))) return false;
  return true;
}

// The end of a run named its first kept record on the screen: a termination
// signal then names only the others, and the file gets none of them.
TEST(AppendFile, ARecordShownAtTheEndIsNoLongerKept) {
  TempHome home;
  const fs::path file = home.prot("PROTOCOL.TXT");
  home.write("PROT/PROTOCOL.TXT", "earlier run\n");
  testing::LockHolder holder(file, LOCK_EX);
  ASSERT_TRUE(holder.holding());
  RunWithAScreen run(file, [](AppendFile& f) {
    if (!keep_records(f, 3)) return 4;
    if (f.finish().unwritten.size() != 3) return 5;
    if (::write(STDOUT_FILENO, "record 1\n", 9) != 9) return 6;
    f.kept_record_shown();
    ::raise(SIGTERM);
    return 7;
  });
  const std::optional<std::string> told = run.told_until_terminated();
  ASSERT_TRUE(told) << "the run hangs or ends otherwise";
  EXPECT_EQ(*told, "record 1\n  not written: held by another process, 2 records:\nrecord 2\nrecord 3\n");
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\n");
}

// A screen of one page that nobody reads takes the line that names the kept
// records and the first of them, the last one in part, and then nothing
// more. When the signal's second on the screen is over, the records it did
// not take whole are appended without a turn, the one it cut among them;
// those it shows whole are not appended again.
TEST(AppendFile, RecordsTheScreenTookWholeAreNotAppendedAgain) {
  TempHome home;
  const fs::path file = home.prot("PROTOCOL.TXT");
  home.write("PROT/PROTOCOL.TXT", "earlier run\n");
  testing::LockHolder holder(file, LOCK_EX);
  ASSERT_TRUE(holder.holding());
  Pipe screen;
  ASSERT_EQ(::fcntl(screen.write, F_SETPIPE_SZ, 4096), 4096);
  constexpr int RECORDS = 60;  // far more than a page
  const std::string text(70, 'r');
  Child child([&] {
    if (::dup2(screen.write, STDOUT_FILENO) < 0) return 2;
    AppendFile f;
    if (!f.open(file)) return 3;
    f.set_not_written_line("  not written: ");
    if (!keep_records(f, RECORDS, text)) return 4;
    ::raise(SIGTERM);
    return 5;
  });
  screen.close_write();
  const std::optional<int> status = child.wait(30);
  ASSERT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "the run hangs or ends otherwise";
  std::string told;
  char buffer[4096];
  for (ssize_t n; (n = ::read(screen.read, buffer, sizeof buffer)) > 0;) told.append(buffer, static_cast<std::size_t>(n));
  EXPECT_TRUE(holder.release());

  const std::string heading = "  not written: held by another process, " + std::to_string(RECORDS) + " records:\n";
  ASSERT_TRUE(told.starts_with(heading)) << told;
  const std::size_t whole = static_cast<std::size_t>(std::count(told.begin(), told.end(), '\n')) - 1;
  ASSERT_GT(whole, 0u);
  ASSERT_LT(whole, static_cast<std::size_t>(RECORDS));
  EXPECT_FALSE(told.ends_with("\n")) << "the screen cut no record";
  std::string shown, appended;
  for (int i = 1; i <= RECORDS; ++i)
    (static_cast<std::size_t>(i) <= whole ? shown : appended) += text + std::to_string(i) + "\n";
  EXPECT_TRUE(shown.starts_with(told.substr(heading.size(), shown.size())));
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\n" + appended);
}

// Another run appends without a turn and holds the runs' own lock: it has
// written half a line when this run, without a screen, appends its kept
// records without a turn too. They wait for the other's line, as far as
// the last wait goes, and follow it on lines of their own.
TEST(AppendFile, RecordsAppendedWithoutATurnFollowAnotherRunsWholeRecord) {
  TempHome home;
  const fs::path file = home.prot("PROTOCOL.TXT");
  home.write("PROT/PROTOCOL.TXT", "earlier run\n");
  testing::LockHolder holder(file, LOCK_EX);
  ASSERT_TRUE(holder.holding());
  AppendFile f;
  ASSERT_TRUE(f.open(file));
  ASSERT_TRUE(keep_records(f, 2));
  Pipe half_written, go_on;
  Child other([&] {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fd < 0 || ::fcntl(fd, F_OFD_SETLK, &whole) != 0) return 2;
    if (::write(fd, "another run's rec", 17) != 17) return 3;
    half_written.send();
    if (!byte_arrives(go_on.read, 30)) return 4;
    ::usleep(30 * 1000);
    return ::write(fd, "ord\n", 4) == 4 ? 0 : 5;
  });
  ASSERT_TRUE(byte_arrives(half_written.read, 30));
  go_on.send();
  f.append_kept_without_turn();
  const std::optional<int> status = other.wait(30);
  ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "earlier run\nanother run's record\nrecord 1\nrecord 2\n");
}

// Run A has the turn, its record is cut by the file size limit, A finds the
// file ending with its own bytes and is about to cut them back; run B, whose
// wait for the turn is spent meanwhile, writes records all the while. None
// of B's records may be cut with A's: B writes them at its next turn.
TEST(AppendFile, ARunWhoseWaitIsSpentNeverAppendsWhileAnotherTakesItsRecordBack) {
  TempHome home;
  const fs::path file = home.prot("PROTOCOL.TXT");
  AppendFile b;
  ASSERT_TRUE(b.open(file));
  Pipe reached, go_on, result;
  Child a([&] {
    reached.close_read();
    go_on.close_write();
    AppendFile f;
    if (!f.open(file) || f.write_record("A 1")) return 2;
    testing::stop_reached = reached.write;
    testing::stop_go_on = go_on.read;
    append_undo_test_hook = testing::tell_and_wait;
    FileSizeLimit limit(4 + 10);
    return f.write_record("A cut record") == std::optional<std::string>("File too large") ? 0 : 3;
  });
  reached.close_write();
  go_on.close_read();
  ASSERT_TRUE(a.started());
  ASSERT_TRUE(byte_arrives(reached.read, 30)) << "A never reached its undo";
  // B's wait for the turn is spent while A holds the file.
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(b.write_record("B " + std::to_string(i)), std::nullopt);
  go_on.send();
  const std::optional<int> status = a.wait(30);
  ASSERT_TRUE(status && WIFEXITED(*status)) << "A hangs or was killed";
  EXPECT_EQ(WEXITSTATUS(*status), 0) << "A's record was not cut";
  EXPECT_EQ(b.write_record("B 4"), std::nullopt);
  EXPECT_TRUE(b.finish().unwritten.empty());
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "A 1\nB 1\nB 2\nB 3\nB 4\n");
}

// A record cut where its run wrote without the turn (on a file system whose
// locks fail for it) stays in the file, and only that run knows the file
// ends inside a line. Every other run's next record starts a line of its own
// all the same: that of a run which opened the file before the cut, whether
// it then has the turn or has no locks either.
TEST(AppendFile, ARecordCutWithoutTheTurnIsFollowedOnALineOfItsOwnByEveryRun) {
  for (const bool b_has_locks : {true, false}) {
    SCOPED_TRACE(b_has_locks ? "the next run has the turn" : "no run has locks");
    TempHome home;
    const fs::path file = home.prot("PROTOCOL.TXT");
    AppendFile b;
    ASSERT_TRUE(b.open(file));
    EXPECT_EQ(b.write_record("B 1"), std::nullopt);
    Child child([&] {
      if (!testing::refuse_calls({{SYS_flock, ENOLCK}})) return 2;
      AppendFile a;
      if (!a.open(file)) return 3;
      {
        FileSizeLimit limit(4 + 4);
        if (a.write_record("A cut record") != std::optional<std::string>("File too large")) return 4;
      }
      if (b_has_locks) return 0;
      AppendFile no_locks_b;  // a run without locks too, opened before the next record
      return no_locks_b.open(file) && !no_locks_b.write_record("B 2") ? 0 : 5;
    });
    ASSERT_TRUE(child.started());
    const std::optional<int> status = child.wait(30);
    ASSERT_TRUE(status && WIFEXITED(*status)) << "the child hangs or was killed";
    if (WEXITSTATUS(*status) == 2) GTEST_SKIP() << "no system-call filter on this machine";
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    if (b_has_locks) {
      EXPECT_EQ(b.write_record("B 2"), std::nullopt);
    }
    EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "B 1\nA cu\nB 2\n");
  }
}

TEST(AppendFile, AFileEndingInACutLineGetsTheNextRecordOnALineOfItsOwn) {
  TempHome home;
  home.write("PROT/PROTOCOL.TXT", "  Yr: 2026 cut off here");
  AppendFile f;
  ASSERT_TRUE(f.open(home.prot("PROTOCOL.TXT")));
  f.write_record("header");
  f.write_record("record");
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "  Yr: 2026 cut off here\nheader\nrecord\n");
}

TEST(AppendFile, ControlCharactersAreWrittenAsBlanks) {
  TempHome home;
  AppendFile f;
  ASSERT_TRUE(f.open(home.prot("PROTOCOL.TXT")));
  f.write_record(std::string("a\0b\rc\td\x1b" "e\x7f" "f\xc3\xa4", 13));
  // Bytes of other characters (here an UTF-8 umlaut) stay as they are.
  EXPECT_EQ(home.read("PROT/PROTOCOL.TXT"), "a b c d e f\xc3\xa4\n");
}

TEST(AppendFile, APipeIsNoFileToKeepOpen) {
  TempHome home;
  ASSERT_EQ(::mkfifo(home.prot("PROTOCOL.TXT").c_str(), 0644), 0);
  Deadline deadline(10);
  AppendFile f;
  EXPECT_FALSE(f.open(home.prot("PROTOCOL.TXT")));
  EXPECT_FALSE(f.is_open());
}

}  // namespace
}  // namespace orva
