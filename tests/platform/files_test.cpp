// The files of the PROT folder under faults: a full disk, links, pipes,
// devices and write-protected files, two runs at once and a run killed in the
// middle of a write.
#include "platform/files.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/file_faults.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::Pipe;
using testing::TempHome;
using testing::byte_arrives;

// A read that blocks fails the test instead of hanging it.
struct Deadline {
  explicit Deadline(unsigned seconds) { ::alarm(seconds); }
  ~Deadline() { ::alarm(0); }
};

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
