// The files of the PROT folder under faults: a full disk, a file that may not
// grow, links, pipes, devices and write-protected files, two runs at once and
// a run killed in the middle of a write.
#include "platform/files.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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

TEST(FileReadLines, ReadsOnlyTheLinesAskedForEachCut) {
  TempHome home;
  std::string text;
  for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  home.write("PROT/LINES.TXT", std::string(300, 'L') + "\n" + text);
  FileLines read = file_read_lines(home.prot("LINES.TXT"), 4);
  ASSERT_EQ(read.status, FileLines::Status::Read);
  EXPECT_EQ(read.lines, (std::vector<std::string>{std::string(MAX_LINE_LENGTH, 'L'), "line 1", "line 2", "line 3"}));
}

TEST(FileReadLines, AHugeFileCostsNoMoreThanItsFirstLines) {
  TempHome home;
  home.write("PROT/HUGE.TXT", "one\ntwo\n");
  // Four gigabytes of zero bytes after the two lines, without a line end.
  fs::resize_file(home.prot("HUGE.TXT"), 4ull << 30);
  Deadline deadline(20);
  FileLines read = file_read_lines(home.prot("HUGE.TXT"), 22);
  ASSERT_EQ(read.status, FileLines::Status::Read);
  ASSERT_EQ(read.lines.size(), 3u);
  EXPECT_EQ(read.lines[1], "two");
  EXPECT_EQ(read.lines[2], std::string(MAX_LINE_LENGTH, '\0'));
}

TEST(FileReadLines, APipeOrADeviceIsNotRead) {
  TempHome home;
  ASSERT_EQ(::mkfifo(home.prot("FIFO.TXT").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", home.prot("ZERO.TXT"));
  Deadline deadline(10);
  for (const char* name : {"FIFO.TXT", "ZERO.TXT"}) {
    FileLines read = file_read_lines(home.prot(name), 22, true);
    EXPECT_EQ(read.status, FileLines::Status::NotRegular) << name;
    EXPECT_TRUE(read.lines.empty()) << name;
  }
}

TEST(FileReadLines, AMissingFileIsCreatedOnlyWhereNothingStands) {
  TempHome home;
  EXPECT_EQ(file_read_lines(home.prot("NEW.TXT"), 22).status, FileLines::Status::NotOpened);
  EXPECT_FALSE(fs::exists(home.prot("NEW.TXT")));
  EXPECT_EQ(file_read_lines(home.prot("NEW.TXT"), 22, true).status, FileLines::Status::Read);
  EXPECT_TRUE(fs::is_regular_file(home.prot("NEW.TXT")));

  // A link to nowhere is not followed to make a file outside the folder.
  fs::create_symlink(home.path() / "OUTSIDE.TXT", home.prot("LINK.TXT"));
  EXPECT_EQ(file_read_lines(home.prot("LINK.TXT"), 22, true).status, FileLines::Status::NotOpened);
  EXPECT_FALSE(fs::exists(home.path() / "OUTSIDE.TXT"));

  fs::create_directories(home.prot("FOLDER.TXT"));
  EXPECT_EQ(file_read_lines(home.prot("FOLDER.TXT"), 22, true).status, FileLines::Status::NotOpened);
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileReplace, WritesTheLinesAndKeepsTheModeOfTheOldFile) {
  TempHome home;
  home.write("PROT/STATE.TXT", "old\n");
  fs::permissions(home.prot("STATE.TXT"), fs::perms::owner_read | fs::perms::group_read);
  FileWrite w = file_replace(home.prot("STATE.TXT"), {"new 1", "new 2"});
  if (::getuid() == 0) {
    // Root may open any file for writing; the file keeps its mode all the same.
    ASSERT_EQ(w.status, FileWrite::Status::Written) << w.reason;
    EXPECT_EQ(home.read("PROT/STATE.TXT"), "new 1\nnew 2\n");
    EXPECT_EQ(fs::status(home.prot("STATE.TXT")).permissions(), fs::perms::owner_read | fs::perms::group_read);
  } else {
    EXPECT_EQ(w.status, FileWrite::Status::Failed);
    EXPECT_EQ(home.read("PROT/STATE.TXT"), "old\n");
  }
  EXPECT_EQ(names_in(home.path() / "PROT"), std::vector<std::string>{"STATE.TXT"});
}

// In a folder a group shares, a state file replaced by another member of the
// group keeps its group and mode, so that its owner can still replace it in
// turn; the administrator's W leaves the owner as well. Users 1000 and 1001
// of group 100, as on many machines; the test needs the administrator's
// rights to take their parts.
TEST(FileReplace, KeepsTheGroupOfAStateFileInASharedFolder) {
  if (::getuid() != 0) GTEST_SKIP() << "needs the administrator's rights to write as two other users";
  constexpr uid_t OWNER = 1000, MEMBER = 1001;
  constexpr gid_t GROUP = 100;
  TempHome home;
  fs::permissions(home.path(), fs::perms::all);
  fs::permissions(home.path() / "PROT", fs::perms::all);
  const fs::path file = home.prot("STATE.TXT");
  home.write("PROT/STATE.TXT", "old\n");
  ASSERT_EQ(::chown(file.c_str(), OWNER, GROUP), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  // W as a user of the group, in a child of its own.
  auto write_as = [&](uid_t user, const std::string& text) {
    Child writer([&] {
      const gid_t groups[] = {GROUP};
      if (::setgroups(1, groups) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0) return 2;
      const FileWrite w = file_replace(file, {text});
      return w.status == FileWrite::Status::Written ? 0 : 1;
    });
    const std::optional<int> status = writer.wait(30);
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
  };
  struct stat st {};
  ASSERT_EQ(write_as(MEMBER, "by the member"), 0);
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, GROUP);
  EXPECT_EQ(st.st_uid, MEMBER) << "the writer cannot give the file away";
  EXPECT_EQ(st.st_mode & 07777, 0664u);
  ASSERT_EQ(write_as(OWNER, "by the owner again"), 0) << "the owner may no longer write the file";
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "by the owner again\n");

  ASSERT_EQ(::chown(file.c_str(), OWNER, GROUP), 0);
  ASSERT_EQ(file_replace(file, {"by the administrator"}).status, FileWrite::Status::Written);
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, OWNER);
  EXPECT_EQ(st.st_gid, GROUP);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
}

TEST(FileReplace, AWriteProtectedFileStaysAsItWas) {
  TempHome home;
  home.write("PROT/STATE.TXT", "old\n");
  fs::permissions(home.prot("STATE.TXT"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(home.path() / "PROT", fs::perms::all);
  int result = testing::run_unprivileged([&] {
    FileWrite w = file_replace(home.prot("STATE.TXT"), {"new"});
    return w.status == FileWrite::Status::Failed && w.reason == "Permission denied" ? 0 : 1;
  });
  if (result < 0) GTEST_SKIP() << "no unprivileged user to run as on this machine";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "old\n");
  EXPECT_EQ(names_in(home.path() / "PROT"), std::vector<std::string>{"STATE.TXT"});
}

TEST(FileReplace, NeverFollowsALinkPlacedUnderTheTemporaryName) {
  TempHome home;
  home.write("OUTSIDE.TXT", "not to be touched\n");
  // Every name the temporary file could take is a link out of the folder.
  for (int attempt = 0; attempt < 3; ++attempt)
    fs::create_symlink(home.path() / "OUTSIDE.TXT",
                       home.prot(".STATE.TXT." + std::to_string(::getpid()) + "-" + std::to_string(attempt)));
  FileWrite w = file_replace(home.prot("STATE.TXT"), {"state"});
  ASSERT_EQ(w.status, FileWrite::Status::Written) << w.reason;
  EXPECT_EQ(home.read("OUTSIDE.TXT"), "not to be touched\n");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(home.prot("STATE.TXT"))));
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "state\n");
  EXPECT_EQ(names_in(home.path() / "PROT").size(), 4u);  // the three links stay, nothing else
}

TEST(FileReplace, RefusesWhatIsNoRegularFile) {
  TempHome home;
  home.write("OUTSIDE.TXT", "not to be touched\n");
  fs::create_symlink(home.path() / "OUTSIDE.TXT", home.prot("LINK.TXT"));
  ASSERT_EQ(::mkfifo(home.prot("FIFO.TXT").c_str(), 0644), 0);
  for (const char* name : {"LINK.TXT", "FIFO.TXT"}) {
    FileWrite w = file_replace(home.prot(name), {"state"});
    EXPECT_EQ(w.status, FileWrite::Status::Failed) << name;
    EXPECT_EQ(w.reason, NOT_A_REGULAR_FILE) << name;
  }
  EXPECT_EQ(home.read("OUTSIDE.TXT"), "not to be touched\n");
}

bool handled_as(int signal, sighandler_t handler) {
  struct sigaction action {};
  return ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == handler;
}

// A child that writes "new" into STATE.TXT and stops before the rename until
// the test lets it go on, started ignoring interrupts or not. It exits with 0
// when the file was written and the signals are as they were before.
struct WriterInTheMiddle {
  Pipe reached, go_on;
  Child child;

  explicit WriterInTheMiddle(const fs::path& file, bool ignoring_interrupts = false)
      : child([&] {
          reached.close_read();
          go_on.close_write();
          const sighandler_t interrupt = ignoring_interrupts ? SIG_IGN : SIG_DFL;
          ::signal(SIGINT, interrupt);
          // The child stops at the rename until the test lets it go on.
          testing::stop_reached = reached.write;
          testing::stop_go_on = go_on.read;
          file_write_test_hook = testing::tell_and_wait;
          const bool written = file_replace(file, {"new"}).status == FileWrite::Status::Written;
          const bool as_before =
              handled_as(SIGINT, interrupt) && handled_as(SIGTERM, SIG_DFL) && handled_as(SIGHUP, SIG_DFL);
          return written && as_before ? 0 : 1;
        }) {
    reached.close_write();
    go_on.close_read();
  }
  bool at_the_rename() const { return child.started() && byte_arrives(reached.read, 30); }
};

// Ctrl-C, a hangup or a termination signal in the middle of W removes the
// temporary file before the program ends by that signal, and the old file
// stays. An interrupt the program was started to ignore is ignored then too,
// and after the write every signal is handled as before it.
TEST(FileReplace, AnEndingSignalDuringTheWriteRemovesTheTemporaryFile) {
  struct Case {
    int signal;
    bool ignored;
  };
  for (const Case& c : {Case{SIGINT, false}, Case{SIGTERM, false}, Case{SIGHUP, false}, Case{SIGINT, true}}) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.ignored ? " (ignored)" : ""));
    TempHome home;
    home.write("PROT/STATE.TXT", "old\n");
    WriterInTheMiddle writer(home.prot("STATE.TXT"), c.ignored);
    ASSERT_TRUE(writer.at_the_rename());
    EXPECT_EQ(names_in(home.path() / "PROT").size(), 2u) << "the temporary file beside the old one";
    ::kill(writer.child.pid(), c.signal);
    writer.go_on.send();
    const std::optional<int> status = writer.child.wait(30);
    ASSERT_TRUE(status) << "the child hangs";
    if (c.ignored) {
      ASSERT_TRUE(WIFEXITED(*status));
      EXPECT_EQ(WEXITSTATUS(*status), 0);
      EXPECT_EQ(home.read("PROT/STATE.TXT"), "new\n");
    } else {
      ASSERT_TRUE(WIFSIGNALED(*status)) << "the program still ends by the signal";
      EXPECT_EQ(WTERMSIG(*status), c.signal);
      EXPECT_EQ(home.read("PROT/STATE.TXT"), "old\n");
    }
    EXPECT_EQ(names_in(home.path() / "PROT"), std::vector<std::string>{"STATE.TXT"});
  }
}

// Sets the time of a file to long ago (or the file server's clock lags).
void make_old(const fs::path& file) {
  const timespec long_ago[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), long_ago, 0), 0) << file;
}

// A run killed in the middle of W leaves its temporary file; the next W of
// the name removes those that no run holds any more (their lock is free)
// and that have not been written for a while by the folder's clock. It keeps
// the temporary file of a running W and of a process this machine does not
// know, whatever their time and the process number they are named by, those
// written a moment ago, and those of other names.
TEST(FileReplace, RemovesOnlyTheTemporaryFilesNoRunningWHolds) {
  TempHome home;
  home.write("PROT/STATE.TXT", "old\n");
  const fs::path prot = home.path() / "PROT";
  pid_t killed = -1;
  {
    WriterInTheMiddle writer(home.prot("STATE.TXT"));
    ASSERT_TRUE(writer.at_the_rename());
    killed = writer.child.pid();
    ::kill(killed, SIGKILL);
    ASSERT_TRUE(writer.child.wait(30));
  }
  const std::string left_behind = ".STATE.TXT." + std::to_string(killed) + "-0";
  ASSERT_EQ(names_in(prot), (std::vector<std::string>{left_behind, "STATE.TXT"}));

  // Process 1 lives as long as the machine: the name tells nothing.
  const std::string dead = std::to_string(killed), alive = "1";
  const std::vector<std::string> removed = {left_behind, ".STATE.TXT." + dead + "-7", ".STATE.TXT." + alive + "-1"};
  const std::vector<std::string> other_names = {".OTHER.TXT." + dead + "-0", ".STATE.TXT." + dead + "-0x",
                                                ".STATE.TXT." + dead, "STATE.TXT." + dead + "-0"};
  const std::string just_written = ".STATE.TXT." + dead + "-3";
  for (const std::string& name : removed) home.write("PROT/" + name, "left behind\n");
  for (const std::string& name : other_names) home.write("PROT/" + name, "someone's\n");
  home.write("PROT/" + just_written, "a moment ago\n");
  for (const std::string& name : removed) make_old(prot / name);
  for (const std::string& name : other_names) make_old(prot / name);

  // A W of another container or machine, its file's time far behind: the
  // process number in its name is none of this machine's.
  const std::string foreign = ".STATE.TXT.999999999-0";
  home.write("PROT/" + foreign, "live\n");
  testing::LockHolder holder(prot / foreign);
  ASSERT_TRUE(holder.holding());
  make_old(prot / foreign);
  // A running W of the same name, in the middle of its write, its file's time as old.
  WriterInTheMiddle running(home.prot("STATE.TXT"));
  ASSERT_TRUE(running.at_the_rename());
  const std::string running_tmp = ".STATE.TXT." + std::to_string(running.child.pid()) + "-0";
  make_old(prot / running_tmp);

  ASSERT_EQ(file_replace(home.prot("STATE.TXT"), {"state"}).status, FileWrite::Status::Written);
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "state\n");
  std::vector<std::string> expected = other_names;
  for (const std::string& name : {just_written, foreign, running_tmp, std::string("STATE.TXT")})
    expected.push_back(name);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names_in(prot), expected);

  // The running W was not tripped up: it ends with its own text in place.
  running.go_on.send();
  const std::optional<int> status = running.child.wait(30);
  ASSERT_TRUE(status && WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 0);
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "new\n");
  EXPECT_TRUE(holder.release());
  EXPECT_EQ(home.read("PROT/" + foreign), "live\n");
}

// The time of the folder's clock: that of a file written there now. The
// age of a left-behind temporary file is told by this clock, as W tells it
// by the time of its own new temporary file.
timespec folder_clock(const fs::path& folder) {
  const fs::path probe = folder / "clock";
  std::ofstream(probe) << "now\n";
  struct stat st {};
  EXPECT_EQ(::stat(probe.c_str(), &st), 0);
  fs::remove(probe);
  return st.st_mtim;
}

// A left-behind temporary file whose lock is free goes only when it has not
// been written for ten minutes: on a folder whose locks are local to one
// machine, a younger one may still belong to a W running on another.
TEST(FileReplace, ALeftBehindTemporaryFileGoesOnlyAfterTenMinutes) {
  using std::chrono::seconds;
  struct Case {
    seconds written_ago;
    bool removed;
  } cases[] = {
      {seconds(570), false},  // 9 min 30 s
      {seconds(590), false},  // W writes its own file within seconds of the probe
      {seconds(600), true},
      {seconds(630), true},  // 10 min 30 s
  };
  TempHome home;
  home.write("PROT/STATE.TXT", "old\n");
  const fs::path prot = home.path() / "PROT";
  const timespec now = folder_clock(prot);
  std::vector<std::string> expected = {"STATE.TXT"};
  for (const Case& c : cases) {
    // Named after its age in seconds.
    const std::string name = ".STATE.TXT.4000000-" + std::to_string(c.written_ago.count());
    home.write("PROT/" + name, "left behind\n");
    const timespec then{now.tv_sec - c.written_ago.count(), now.tv_nsec};
    const timespec times[2] = {then, then};
    ASSERT_EQ(::utimensat(AT_FDCWD, (prot / name).c_str(), times, 0), 0) << name;
    if (!c.removed) expected.push_back(name);
  }
  std::sort(expected.begin(), expected.end());

  ASSERT_EQ(file_replace(home.prot("STATE.TXT"), {"state"}).status, FileWrite::Status::Written);
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "state\n");
  EXPECT_EQ(names_in(prot), expected);
}

// W keeps every mode bit of the file it replaces: the set-group-ID bit that
// a group's folder gives its files, and the set-user-ID and sticky bits, as
// well as the reading and writing rights.
TEST(FileReplace, KeepsEveryModeBitOfTheOldFile) {
  for (const mode_t mode : {0600, 0640, 0664, 02664, 04644, 01644, 06775}) {
    SCOPED_TRACE(::testing::Message() << "mode " << std::oct << mode);
    TempHome home;
    const fs::path file = home.prot("STATE.TXT");
    home.write("PROT/STATE.TXT", "old\n");
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    if ((st.st_mode & 07777) != mode) GTEST_SKIP() << "this machine does not give a file the mode " << std::oct << mode;
    ASSERT_EQ(file_replace(file, {"state"}).status, FileWrite::Status::Written);
    EXPECT_EQ(home.read("PROT/STATE.TXT"), "state\n");
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

TEST(FileReplace, WithoutTheFolderNothingIsWritten) {
  TempHome home(false);
  EXPECT_EQ(file_replace(home.prot("STATE.TXT"), {"state"}).status, FileWrite::Status::NoFolder);
  EXPECT_FALSE(fs::exists(home.path() / "PROT"));
}

TEST(FileReplace, AFullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempHome home;
  testing::SmallDisk disk(home.path() / "PROT", 64 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small disk on this machine";
  home.write("PROT/STATE.TXT", "old\n");
  disk.fill();
  FileWrite w = file_replace(home.prot("STATE.TXT"), std::vector<std::string>(100, std::string(80, 's')));
  EXPECT_EQ(w.status, FileWrite::Status::Failed);
  EXPECT_EQ(w.reason, "No space left on device");
  EXPECT_EQ(home.read("PROT/STATE.TXT"), "old\n");
  EXPECT_EQ(names_in(home.path() / "PROT"), (std::vector<std::string>{"STATE.TXT", "filler"}));
}

}  // namespace
}  // namespace orva
