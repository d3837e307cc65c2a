#include "platform/files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/format.hpp"
#include "platform/process.hpp"

namespace orva {
namespace {

std::string os_reason(int error) { return std::strerror(error); }

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

// Writes the whole buffer; false (with errno set) when that was not possible.
// `written` counts the bytes that reached the file.
bool write_all(int fd, std::string_view data, std::size_t* written = nullptr) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
    if (written) *written += static_cast<std::size_t>(n);
  }
  return true;
}

// The file descriptor is closed when the reader is done with it.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Takes a file's lock at once, without waiting: true when it is held now;
// otherwise errno tells whether another process holds it (EWOULDBLOCK).
bool lock_at_once(int fd, int how = LOCK_EX) {
  int result;
  do result = ::flock(fd, how | LOCK_NB);
  while (result != 0 && errno == EINTR);
  return result == 0;
}

// The temporary files of file_replace are named ".NAME.<pid>-<n>" beside
// the file NAME. Whether an entry of the folder is one of them.
bool is_temporary_file_name(std::string_view entry, std::string_view prefix) {
  if (!entry.starts_with(prefix)) return false;
  entry.remove_prefix(prefix.size());
  const std::size_t dash = entry.find('-');
  if (dash == std::string_view::npos) return false;
  auto number = [](std::string_view digits) {
    return !digits.empty() && digits.size() <= 9 && std::all_of(digits.begin(), digits.end(), [](char c) {
      return c >= '0' && c <= '9';
    });
  };
  return number(entry.substr(0, dash)) && number(entry.substr(dash + 1));
}

// A W holds a lock on its temporary file from its creation until it is
// renamed into place or removed; the lock ends with the process, however
// it ends. The process number in the name tells nothing: the run may live
// in another process-number space (a container sharing the data folder) or
// on another machine (a shared folder), and the file's time comes from the
// file server's clock. So a temporary file is left behind by an ended run
// only when its lock is free, and, since a lock may be kept on one machine
// only (a shared folder mounted with local locks), when it has not been
// written for LEFT_BEHIND_AGE by the folder's own clock, which the new
// temporary file of this W tells. Where a lock cannot be taken at all, the
// file stays.
constexpr std::chrono::minutes LEFT_BEHIND_AGE{10};

std::chrono::nanoseconds file_time(const struct stat& st) {
  return std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec);
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A W that was killed before its rename leaves its temporary file behind.
// The next W of the same name removes those of runs that have ended, and
// never one a running W still holds. `own` is this W's temporary file.
void remove_temporaries_of_ended_runs(const std::filesystem::path& path, const struct stat& own) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dfd = ::dirfd(dir);
  const std::string prefix = "." + path.filename().string() + ".";
  while (const dirent* entry = ::readdir(dir)) {
    struct stat st {};
    if (!is_temporary_file_name(entry->d_name, prefix) ||
        ::fstatat(dfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || same_file(st, own) ||
        file_time(own) - file_time(st) < LEFT_BEHIND_AGE)
      continue;
    // The lock of a file on a shared folder may need it open for writing.
    int fd = ::openat(dfd, entry->d_name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dfd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    Descriptor file{fd};
    struct stat opened {}, now {};
    if (file.fd < 0 || ::fstat(file.fd, &opened) != 0 || !same_file(opened, st) || !lock_at_once(file.fd)) continue;
    // Still the file whose lock is held here, under its name.
    if (::fstatat(dfd, entry->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 && same_file(now, opened))
      ::unlinkat(dfd, entry->d_name, 0);
  }
  ::closedir(dir);
}

// The new file keeps the owner and the group of the old one, as it keeps
// its mode: in a folder shared by a group, a file replaced by another member
// would otherwise become the writer's, and its owner could no longer write
// it. The owner only where the writer may give the file away (the
// administrator), the group where the writer belongs to it; otherwise the
// file is the writer's, as any new file.
void keep_owner_and_group(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
}

// The temporary file of a write that lands whole or not at all, beside the
// file it becomes: created here and now (an existing file or link of its
// name is never opened, another name is tried instead), locked for as long
// as it exists (a file another W is removing at this moment is passed
// over), and removed by an interrupt or a termination signal before it takes
// its name, and when it never does.
class TemporaryFile {
 public:
  // False with errno set when no temporary file could be made.
  bool create(const std::filesystem::path& beside) {
    const std::filesystem::path folder = beside.parent_path();
    for (int attempt = 0; attempt < 100 && out_.fd < 0; ++attempt) {
      out_.fd = file_.create(folder / ("." + beside.filename().string() + "." + std::to_string(::getpid()) + "-" +
                                       std::to_string(attempt)));
      if (out_.fd < 0 && errno != EEXIST) return false;
      if (out_.fd >= 0 && !lock_at_once(out_.fd) && errno == EWOULDBLOCK) {
        file_.remove();
        ::close(out_.fd);
        out_.fd = -1;
        errno = EEXIST;
      }
    }
    if (out_.fd < 0) return false;
    // The lock lasts until the file takes its name, beyond the close that
    // tells whether the text reached the disk.
    lock_holder_.fd = ::dup(out_.fd);
    struct stat own {};
    if (::fstat(out_.fd, &own) == 0) remove_temporaries_of_ended_runs(beside, own);
    return true;
  }

  // Writes the text and brings it to the disk, with the owner, group and
  // mode of `like` when there is one: 0, or the error.
  int write_whole(std::string_view text, const struct stat* like) {
    if (like) keep_owner_and_group(out_.fd, *like);
    int error = 0;
    if (!write_all(out_.fd, text))
      error = errno;
    else if (like && ::fchmod(out_.fd, like->st_mode & 07777) != 0)
      error = errno;
    else if (::fsync(out_.fd) != 0)
      error = errno;
    if (::close(out_.fd) != 0 && error == 0) error = errno;
    out_.fd = -1;
    return error;
  }

  SignalGuardedFile& file() { return file_; }

 private:
  // Removed before its lock ends.
  Descriptor out_{-1}, lock_holder_{-1};
  SignalGuardedFile file_;
};

}  // namespace

// Another run may append to the same file. While one run writes a record
// and, when need be, takes it back, no other run appends: the size measured
// before the write is where the record begins, and the undo cuts nothing
// that another run wrote. The run holds the file's lock exclusively, or,
// where a reader holds it shared (as "flock -s" does), shares it with the
// reader and takes its turn among the runs by a lock of its own on the whole
// file, which a reader holding the file does not hold. Another process may
// hold the file without end (a run hung inside a write to a network folder,
// a user holding it exclusively): the wait for it is bounded by what is
// left of the run's time, which the wait uses up.
class AppendFile::Turn {
 public:
  enum class Kind {
    Exclusive,  // this run's turn: the file is this run's alone
    Shared,     // this run's turn among the runs, while a reader holds the file
    NoLocks,    // the file system has no locks: nobody has the turn
    Busy,       // another run has the turn, or someone holds the file exclusively
  };

  // The ending signals wait while the turn is taken, held and let go, and
  // may come only while it sleeps: what their handler finds is never a
  // record half written, nor a lock this run holds.
  Turn(int fd, std::chrono::nanoseconds& wait_left) : fd_(fd) {
    using clock = std::chrono::steady_clock;
    const clock::time_point start = clock::now();
    // Another run holds the lock for a few microseconds at a time: the first
    // retries come soon, so that taking turns costs the time left next to
    // nothing; a lock held for long is tried every LONGEST_PAUSE.
    std::chrono::nanoseconds pause = FIRST_PAUSE;
    while (true) {
      if (lock_at_once(fd_, LOCK_EX)) {
        kind_ = Kind::Exclusive;
        break;
      }
      if (errno != EWOULDBLOCK) {
        kind_ = Kind::NoLocks;
        break;
      }
      if (lock_at_once(fd_, LOCK_SH)) {
        if (turn_among_shared_holders(LOCK_EX)) {
          kind_ = Kind::Shared;
          break;
        }
        ::flock(fd_, LOCK_UN);
      }
      const std::chrono::nanoseconds left = wait_left - (clock::now() - start);
      if (left <= std::chrono::nanoseconds::zero()) break;
      hold_.sleep(std::min(left, pause));
      pause = std::min<std::chrono::nanoseconds>(pause * 2, LONGEST_PAUSE);
    }
    wait_left = std::max(std::chrono::nanoseconds::zero(), wait_left - (clock::now() - start));
  }
  ~Turn() {
    if (kind_ == Kind::Shared) turn_among_shared_holders(LOCK_UN);
    if (in_turn()) ::flock(fd_, LOCK_UN);
  }
  Turn(const Turn&) = delete;
  Turn& operator=(const Turn&) = delete;

  Kind kind() const { return kind_; }
  // Whether no other run appends until the turn ends.
  bool in_turn() const { return kind_ == Kind::Exclusive || kind_ == Kind::Shared; }

 private:
  // The lock of this open file on the whole file, without waiting: LOCK_EX
  // takes it, LOCK_UN lets it go. A file system without such locks gives no
  // turn this way.
  bool turn_among_shared_holders(int how) {
    struct flock whole {};
    whole.l_type = how == LOCK_EX ? F_WRLCK : F_UNLCK;
    whole.l_whence = SEEK_SET;
    int result;
    do result = ::fcntl(fd_, F_OFD_SETLK, &whole);
    while (result != 0 && errno == EINTR);
    return result == 0;
  }

  static constexpr std::chrono::microseconds FIRST_PAUSE{20};
  static constexpr std::chrono::milliseconds LONGEST_PAUSE{10};
  EndingSignalsHeldBack hold_;
  int fd_;
  Kind kind_ = Kind::Busy;
};

void (*file_write_test_hook)() = nullptr;
void (*append_undo_test_hook)() = nullptr;
void (*keep_record_test_hook)() = nullptr;

std::filesystem::path prot_file(const Platform& p, std::string_view name) {
  return p.data_folder() / "PROT" / std::string(name);
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
std::string_view AppendFile::kept_data() const { return std::string_view(kept_).substr(ends_inside_a_line() ? 0 : 1); }

// Whether the file ends inside a line: a record cut by this run, by another
// run or by a run before. A file that cannot be read tells only this run's.
bool AppendFile::ends_inside_a_line() const {
  struct stat st {};
  char last = '\n';
  if (::fstat(fd_, &st) != 0 || st.st_size == 0) return line_open_;
  if (::pread(fd_, &last, 1, st.st_size - 1) != 1) return line_open_;
  return last != '\n';
}

std::string kept_records_reason(std::size_t count) {
  return KEPT_BEFORE_COUNT + std::to_string(count) + KEPT_AFTER_COUNT;
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
  if (in_turn) {
    // As at the end of the run: a failure is told where none was before.
    const char* reason = ::strerrordesc_np(error);
    if (error != 0 && !self.fault_returned_) self.tell_in_signal({reason ? reason : "unknown error"}, {});
    return;
  }
  // The count as text, without the allocations a handler may not make.
  char digits[24];
  char* first = digits + sizeof digits;
  std::size_t n = self.kept_count_;
  do *--first = static_cast<char>('0' + n % 10);
  while ((n /= 10) > 0);
  self.tell_in_signal({KEPT_BEFORE_COUNT, std::string_view(first, digits + sizeof digits - first), KEPT_AFTER_COUNT},
                      std::string_view(self.kept_).substr(1));
}

// The line that tells the reason, then the records, on the screen; where no
// screen takes them all, the records are appended without a turn: the run
// ends now, and nobody is left to tell.
void AppendFile::tell_in_signal(std::initializer_list<std::string_view> reason, std::string_view records) const {
  const auto deadline = std::chrono::steady_clock::now() + SIGNAL_SCREEN_WAIT;
  // One line in one write; a line too long for it is cut, never overrun.
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
  const bool told = screen_write_in_signal(std::string_view(line, length), deadline) &&
                    screen_write_in_signal(records, deadline);
  if (!told && !records.empty()) append_without_turn();
}

void AppendFile::append_without_turn() const {
  if (fd_ >= 0 && kept_count_ > 0) (void)write_all(fd_, kept_data());
}

void AppendFile::append_kept_without_turn() {
  EndingSignalsHeldBack wait;
  append_without_turn();
  kept_.clear();
  kept_count_ = 0;
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

FileLines file_read_lines(const std::filesystem::path& path, std::size_t max_lines, bool create_when_missing) {
  FileLines result;
  // Opening a pipe for reading must not wait for a writer.
  Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0 && errno == ENOENT && create_when_missing) {
    // Created only where nothing stands, not even a link to nowhere.
    file.fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  }
  if (file.fd < 0) return result;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode)) return result;
  if (!S_ISREG(st.st_mode)) {
    result.status = FileLines::Status::NotRegular;
    return result;
  }
  // A regular file does not block; its reads are plain reads again.
  ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

  result.status = FileLines::Status::Read;
  std::string line;
  bool in_line = false;
  char buffer[4096];
  std::size_t budget = MAX_READ_BYTES;
  while (result.lines.size() < max_lines && budget > 0) {
    ssize_t n = ::read(file.fd, buffer, std::min(sizeof buffer, budget));
    if (n > 0) budget -= static_cast<std::size_t>(n);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n && result.lines.size() < max_lines; ++i) {
      if (buffer[i] == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.lines.push_back(std::move(line));
        line.clear();
        in_line = false;
      } else {
        in_line = true;
        // A CR may stand before the line end even in a line that is too long.
        if (line.size() < MAX_LINE_LENGTH + 1) line.push_back(buffer[i]);
      }
    }
  }
  if (in_line && result.lines.size() < max_lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.lines.push_back(std::move(line));
  }
  for (std::string& l : result.lines)
    if (l.size() > MAX_LINE_LENGTH) l.resize(MAX_LINE_LENGTH);
  return result;
}

FileWrite file_replace(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  auto failed = [](std::string reason) { return FileWrite{FileWrite::Status::Failed, std::move(reason)}; };

  // The file to be replaced: the new one keeps its mode. It must be a file
  // that could be opened for writing; a write-protected file stays.
  struct stat old {};
  const struct stat* like = nullptr;
  if (::lstat(path.c_str(), &old) == 0) {
    if (!S_ISREG(old.st_mode)) return failed(NOT_A_REGULAR_FILE);
    Descriptor probe{::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (probe.fd < 0) return failed(os_reason(errno));
    like = &old;
  } else if (errno != ENOENT) {
    if (errno == ENOTDIR) return {FileWrite::Status::NoFolder, ""};
    return failed(os_reason(errno));
  }

  TemporaryFile tmp;
  if (!tmp.create(path)) {
    if (errno == ENOENT) return {FileWrite::Status::NoFolder, ""};
    return failed(os_reason(errno));
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  int error = tmp.write_whole(text, like);
  if (error == 0 && file_write_test_hook) file_write_test_hook();
  if (error == 0 && !tmp.file().rename_to(path)) error = errno;
  if (error == 0) return {};
  return failed(os_reason(error));
}

NewFile file_write_new(const std::filesystem::path& folder, std::string_view name, std::string_view data,
                       int first, int end, const std::function<std::string(int)>& numbered) {
  if (first >= end) return {folder, "no free name"};
  TemporaryFile tmp;
  if (!tmp.create(folder / std::string(name))) return {folder / numbered(first), os_reason(errno)};
  if (const int error = tmp.write_whole(data, nullptr)) return {folder / numbered(first), os_reason(error)};
  if (file_write_test_hook) file_write_test_hook();
  for (int n = first; n < end; ++n) {
    const std::filesystem::path path = folder / numbered(n);
    if (tmp.file().rename_to_new(path)) return {path, ""};
    if (errno != EEXIST) return {path, os_reason(errno)};
  }
  return {folder, "no free name"};
}

}  // namespace orva
