#include "platform/protocol_append.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_io.hpp"
#include "platform/format.hpp"

namespace orva {
namespace {

// The words of kept_records_reason around the count.
constexpr const char* KEPT_BEFORE_COUNT = "held by another process, ";
constexpr const char* KEPT_AFTER_COUNT = " records:";

// A text file line holds no control characters: they would break its
// fixed columns for every reader.
std::string printable(std::string_view line) {
  std::string text(line);
  for (char& c : text)
    if (is_control_character(c)) c = ' ';
  return text;
}

}  // namespace

// Another run may append to the same file. While one run writes a record
// and, when need be, takes it back, no other run appends: the size measured
// before the write is where the record begins, and the undo cuts nothing
// that another run wrote. The run holds the file's lock exclusively, or,
// where a reader holds it shared (as "flock -s" does), shares it with the
// reader; in both it holds the runs' own lock on the whole file as well,
// which a reader holding the file does not hold, and which a run takes
// alone when it appends without a turn. Another process may hold the file
// without end (a run hung inside a write to a network folder, a user holding
// it exclusively): the wait for it is bounded by what is left of the run's
// time, which the wait uses up.
class AppendFile::Turn {
 public:
  enum class Kind {
    Exclusive,  // this run's turn: the file is this run's alone
    Shared,     // this run's turn among the runs, while a reader holds the file
    AmongRuns,  // the runs' own lock alone: no run appends, whoever holds the file
    NoLocks,    // the file system has no locks: nobody has the turn
    Busy,       // another run has the turn, or someone holds the file exclusively
  };
  // What the turn is taken for: a turn at the file, or only among the runs,
  // for records appended without a turn while another process holds the file.
  enum class Of { File, Runs };

  // The ending signals wait while the turn is taken, held and let go, and
  // may come only while it sleeps: what their handler finds is never a
  // record half written, nor a lock this run holds.
  Turn(int fd, std::chrono::nanoseconds& wait_left, Of of = Of::File) : fd_(fd) {
    using clock = std::chrono::steady_clock;
    const clock::time_point start = clock::now();
    // Another run holds the lock for a few microseconds at a time: the first
    // retries come soon, so that taking turns costs the time left next to
    // nothing; a lock held for long is tried every LONGEST_PAUSE.
    std::chrono::nanoseconds pause = FIRST_PAUSE;
    while (!(of == Of::File ? take_the_file() : take_the_runs_lock())) {
      const std::chrono::nanoseconds left = wait_left - (clock::now() - start);
      if (left <= std::chrono::nanoseconds::zero()) break;
      hold_.sleep(std::min(left, pause));
      pause = std::min<std::chrono::nanoseconds>(pause * 2, LONGEST_PAUSE);
    }
    wait_left = std::max(std::chrono::nanoseconds::zero(), wait_left - (clock::now() - start));
  }
  ~Turn() {
    if (runs_lock_held_) (void)runs_lock(F_UNLCK);
    if (in_turn()) ::flock(fd_, LOCK_UN);
  }
  Turn(const Turn&) = delete;
  Turn& operator=(const Turn&) = delete;

  Kind kind() const { return kind_; }
  // Whether no other run appends until the turn ends.
  bool in_turn() const { return kind_ == Kind::Exclusive || kind_ == Kind::Shared; }

 private:
  enum class Lock { Held, Busy, Unavailable };

  // One try for the turn at the file: true when it is decided.
  bool take_the_file() {
    if (lock_at_once(fd_, LOCK_EX)) {
      const Lock runs = runs_lock(F_WRLCK);
      // A run appending without a turn has the runs' lock for a moment.
      if (runs == Lock::Busy) {
        ::flock(fd_, LOCK_UN);
        return false;
      }
      // Where the file system has no lock of this kind, the file's lock
      // alone keeps the other runs out.
      runs_lock_held_ = runs == Lock::Held;
      kind_ = Kind::Exclusive;
      return true;
    }
    if (errno != EWOULDBLOCK) {
      kind_ = Kind::NoLocks;
      return true;
    }
    if (lock_at_once(fd_, LOCK_SH)) {
      if (runs_lock(F_WRLCK) == Lock::Held) {
        runs_lock_held_ = true;
        kind_ = Kind::Shared;
        return true;
      }
      ::flock(fd_, LOCK_UN);
    }
    return false;
  }

  // One try for the runs' own lock: true when it is decided.
  bool take_the_runs_lock() {
    switch (runs_lock(F_WRLCK)) {
      case Lock::Held:
        runs_lock_held_ = true;
        kind_ = Kind::AmongRuns;
        return true;
      case Lock::Unavailable:
        kind_ = Kind::NoLocks;
        return true;
      case Lock::Busy:
        break;
    }
    return false;
  }

  // The runs' own lock: the lock of this open file on the whole file, taken
  // (F_WRLCK) or let go (F_UNLCK) without waiting.
  Lock runs_lock(short type) {
    struct flock whole {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;
    int result;
    do result = ::fcntl(fd_, F_OFD_SETLK, &whole);
    while (result != 0 && errno == EINTR);
    if (result == 0) return Lock::Held;
    return errno == EAGAIN || errno == EACCES ? Lock::Busy : Lock::Unavailable;
  }

  static constexpr std::chrono::microseconds FIRST_PAUSE{20};
  static constexpr std::chrono::milliseconds LONGEST_PAUSE{10};
  EndingSignalsHeldBack hold_;
  int fd_;
  Kind kind_ = Kind::Busy;
  bool runs_lock_held_ = false;
};

void (*append_undo_test_hook)() = nullptr;
void (*keep_record_test_hook)() = nullptr;

std::string kept_records_reason(std::size_t count) {
  return KEPT_BEFORE_COUNT + std::to_string(count) + KEPT_AFTER_COUNT;
}

bool AppendFile::open(const std::filesystem::path& path) {
  close();
  // A pipe must not hold the program up: only a regular file is kept open.
  // Opened for reading too where it may be read: the last byte tells whether
  // the file ends inside a line, and a file on a network folder is locked
  // shared only when it is open for reading.
  constexpr int FLAGS = O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  fd_ = ::open(path.c_str(), O_RDWR | FLAGS, 0666);
  if (fd_ < 0 && errno == EACCES) fd_ = ::open(path.c_str(), O_WRONLY | FLAGS, 0666);
  if (fd_ < 0) return false;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    close();
    return false;
  }
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  return true;
}

// The kept records as one write appends them: behind a line end where the
// file ends inside a line.
std::string_view AppendFile::kept_data() const {
  if (kept_count_ == 0) return {};
  return std::string_view(kept_).substr(ends_inside_a_line() ? 0 : 1);
}

// Whether the file ends inside a line: a record cut by this run, by another
// run or by a run before. A file that cannot be read tells only this run's.
bool AppendFile::ends_inside_a_line() const {
  struct stat st {};
  char last = '\n';
  if (::fstat(fd_, &st) != 0 || st.st_size == 0) return line_open_;
  if (::pread(fd_, &last, 1, st.st_size - 1) != 1) return line_open_;
  return last != '\n';
}

void AppendFile::set_not_written_line(std::string start) {
  EndingSignalsHeldBack wait;
  not_written_line_ = std::move(start);
}

std::optional<std::string> AppendFile::write_record(std::string_view line) {
  if (fd_ < 0) return std::nullopt;
  const std::string record = printable(line);
  {
    // Kept whole or not at all when an ending signal comes.
    EndingSignalsHeldBack wait;
    if (kept_.empty()) kept_ = "\n";
    kept_ += record;
    kept_ += '\n';
    if (keep_record_test_hook) keep_record_test_hook();
    ++kept_count_;
    at_signal_.arm();
  }
  return write_kept(lock_wait_left_);
}

std::optional<std::string> AppendFile::write_kept(std::chrono::nanoseconds& wait) {
  Turn turn(fd_, wait);
  // Another run has the turn: it may be taking its record back, and what this
  // run appended now would go with it. The records wait for a later turn.
  if (turn.kind() == Turn::Kind::Busy) return std::nullopt;
  const int error = append_kept(turn);
  at_signal_.disarm();
  if (error == 0) return std::nullopt;
  fault_returned_ = true;
  return os_reason(error);
}

// The kept records in one write, in the turn (or where there are no turns):
// 0, or the error of a write that failed, whose records are then given up.
// Makes only the calls a signal handler may make.
int AppendFile::append_kept(const Turn& turn) {
  const std::string_view data = kept_data();
  struct stat before {};
  const bool size_known = turn.in_turn() && ::fstat(fd_, &before) == 0;
  std::size_t written = 0;
  const bool whole = write_all(fd_, data, &written);
  const int error = whole ? 0 : errno;
  kept_.clear();
  kept_count_ = 0;
  if (whole) {
    line_open_ = false;
    return 0;
  }
  // Whatever part of the records reached the file is taken back, but only in
  // the run's turn and as long as the file ends with it; otherwise the part
  // stays, and the file ends inside a line.
  struct stat after {};
  const bool only_ours = size_known && ::fstat(fd_, &after) == 0 &&
                         after.st_size == before.st_size + static_cast<off_t>(written);
  if (only_ours && append_undo_test_hook) append_undo_test_hook();
  if (written > 0 && !(only_ours && ::ftruncate(fd_, before.st_size) == 0)) line_open_ = true;
  return error;
}

// The first `bytes` of the kept records (behind the leading line end) were
// shown whole: they are no longer kept. Makes only the calls a signal
// handler may make: the buffer only shrinks.
void AppendFile::forget_shown(std::size_t bytes) {
  const auto shown = kept_.begin() + 1;
  kept_count_ -= static_cast<std::size_t>(std::count(shown, shown + static_cast<std::ptrdiff_t>(bytes), '\n'));
  kept_.erase(1, bytes);
  if (kept_count_ == 0) kept_.clear();
}

void AppendFile::kept_record_shown() {
  EndingSignalsHeldBack wait;
  if (kept_count_ > 0) forget_shown(kept_.find('\n', 1));
}

void AppendFile::last_turn_at_signal(void* file) {
  AppendFile& self = *static_cast<AppendFile*>(file);
  if (self.fd_ < 0 || self.kept_count_ == 0) return;
  std::chrono::nanoseconds wait = PROTOCOL_LAST_TURN_WAIT;
  bool in_turn = false;
  int error = 0;
  {
    Turn turn(self.fd_, wait);
    in_turn = turn.kind() != Turn::Kind::Busy;
    if (in_turn) error = self.append_kept(turn);
  }
  if (!in_turn) {
    self.name_in_signal();
    return;
  }
  // As at the end of the run: a failure is told where none was before.
  if (error != 0 && !self.fault_returned_) {
    const char* reason = ::strerrordesc_np(error);
    (void)self.tell_in_signal({reason ? reason : "unknown error"},
                              std::chrono::steady_clock::now() + SIGNAL_SCREEN_WAIT);
  }
}

// The line that tells the reason on the screen, in one write; a line too
// long for it is cut, never overrun. Whether it reached the screen whole.
bool AppendFile::tell_in_signal(std::initializer_list<std::string_view> reason,
                                std::chrono::steady_clock::time_point deadline) const {
  char line[256];
  std::size_t length = 0;
  auto add = [&](std::string_view part) {
    const std::size_t fits = std::min(part.size(), sizeof line - 1 - length);
    std::memcpy(line + length, part.data(), fits);
    length += fits;
  };
  if (screen_line_open()) add("\n");
  add(not_written_line_);
  for (std::string_view part : reason) add(part);
  line[length++] = '\n';
  return screen_write_in_signal(std::string_view(line, length), deadline) == length;
}

// The records that found no turn, named on the screen under the line that
// counts them. Those the screen took whole are shown; the others, where no
// screen takes them, are appended without a turn: the run ends now, and
// nobody is left to tell.
void AppendFile::name_in_signal() {
  const auto deadline = std::chrono::steady_clock::now() + SIGNAL_SCREEN_WAIT;
  // The count as text, without the allocations a handler may not make.
  char digits[24];
  char* first = digits + sizeof digits;
  std::size_t n = kept_count_;
  do *--first = static_cast<char>('0' + n % 10);
  while ((n /= 10) > 0);
  const std::string_view count(first, static_cast<std::size_t>(digits + sizeof digits - first));
  if (tell_in_signal({KEPT_BEFORE_COUNT, count, KEPT_AFTER_COUNT}, deadline)) {
    const std::string_view records = std::string_view(kept_).substr(1);
    const std::size_t reached = screen_write_in_signal(records, deadline);
    const std::size_t last_end = records.substr(0, reached).rfind('\n');
    if (last_end != std::string_view::npos) forget_shown(last_end + 1);
  }
  append_without_turn();
}

// The kept records appended where nobody can be told of them, never taken
// back. Other runs ending at the same moment without a screen do the same:
// they append one after the other, by the runs' own lock, which another
// process holding the file does not keep from them, so that each finds the
// others' records whole at the end of the file. When that lock does not come
// within the last wait, the records are appended all the same.
void AppendFile::append_without_turn() {
  if (fd_ < 0 || kept_count_ == 0) return;
  std::chrono::nanoseconds wait = PROTOCOL_LAST_TURN_WAIT;
  Turn among_runs(fd_, wait, Turn::Of::Runs);
  (void)write_all(fd_, kept_data());
  kept_.clear();
  kept_count_ = 0;
}

void AppendFile::append_kept_without_turn() {
  EndingSignalsHeldBack wait;
  append_without_turn();
  at_signal_.disarm();
}

AppendFile::End AppendFile::finish() {
  End end;
  if (fd_ >= 0 && kept_count_ > 0) {
    std::chrono::nanoseconds last_wait = std::max<std::chrono::nanoseconds>(lock_wait_left_, PROTOCOL_LAST_TURN_WAIT);
    end.fault = write_kept(last_wait);
  }
  std::string_view rest = kept_;
  for (std::size_t i = 0; i < kept_count_; ++i) {
    rest.remove_prefix(1);
    end.unwritten.emplace_back(rest.substr(0, rest.find('\n')));
    rest.remove_prefix(end.unwritten.back().size());
  }
  return end;
}

void AppendFile::close() {
  EndingSignalsHeldBack wait;
  at_signal_.disarm();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  line_open_ = false;
  kept_ = std::string();
  kept_count_ = 0;
}

}  // namespace orva
