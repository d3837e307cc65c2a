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

#include "platform/file_io.hpp"
#include "platform/process.hpp"

namespace orva {
namespace {

// The file descriptor is closed when the reader is done with it.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

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

void (*file_write_test_hook)() = nullptr;

std::filesystem::path prot_file(const Platform& p, std::string_view name) {
  return p.data_folder() / "PROT" / std::string(name);
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
