// Text files of the data folder's PROT folder: the state files and the
// coefficient files, read line by line and written whole or not at all, and
// the pictures written whole. The protocol file is appended to by
// AppendFile (protocol_append.hpp).
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"

namespace orva {

// The folder "C:\ORVA\PROT\" of the system, followed by a file name.
std::filesystem::path prot_file(const Platform& p, std::string_view name);

// What a read of a text file found.
struct FileLines {
  enum class Status {
    Read,        // the lines below
    NotOpened,   // missing, a folder, or not readable
    NotRegular,  // a pipe, a device or a socket: not read at all
  };
  Status status = Status::NotOpened;
  std::vector<std::string> lines;
};

// What the diver is told of a file that is a pipe, a device or a socket.
inline constexpr const char* NOT_A_REGULAR_FILE = "keine gewoehnliche Datei";

// The longest line a read keeps; the rest of a longer line is skipped. A
// read stops after MAX_READ_BYTES, far more than any file of the system
// holds in the lines that are read.
constexpr std::size_t MAX_LINE_LENGTH = 256;
constexpr std::size_t MAX_READ_BYTES = 1 << 20;

// Reads the first max_lines lines of a regular file (each without its line
// end and a trailing CR, cut to MAX_LINE_LENGTH characters), never more: a
// huge file costs no more than its first lines or MAX_READ_BYTES, and a pipe
// or a device is refused without being read, so nothing blocks. With
// create_when_missing a missing file is created empty (and read as such); a
// link is never followed to create a file.
FileLines file_read_lines(const std::filesystem::path& path, std::size_t max_lines, bool create_when_missing = false);

// How a file was written.
struct FileWrite {
  enum class Status {
    Written,
    NoFolder,  // the folder does not exist: nothing written
    Failed,    // the reason below; the old file, if any, is as it was
  };
  Status status = Status::Written;
  std::string reason;
};

// Replaces the file with the lines. The old file must be a regular file that
// can be opened for writing; the new text goes into a temporary file created
// beside it (never an existing file or a link), takes the old file's mode,
// owner and group (as far as the writer may set them) and is renamed into
// place, so a failed write never leaves a half-written file where a good
// one was. The temporary file is locked while it exists, removed on every
// failure, and by an interrupt or a termination signal before the program
// ends; the temporary files of this name that ended runs left behind (their
// lock free, unwritten for a while) are removed first.
FileWrite file_replace(const std::filesystem::path& path, const std::vector<std::string>& lines);

// What file_write_new wrote: the path of the new file; or, with the reason
// why there is none, the path it was to take (the folder when every name
// was taken).
struct NewFile {
  std::filesystem::path path;
  std::string reason;
  bool written() const { return reason.empty(); }
};

// Writes the data as a new file of the folder, whole or not at all, never in
// place of another file: it goes into a temporary file as for file_replace,
// named after `name`, which then takes the first of the names numbered(n),
// n = first to end - 1, where nothing stands.
NewFile file_write_new(const std::filesystem::path& folder, std::string_view name, std::string_view data,
                       int first, int end, const std::function<std::string(int)>& numbered);

// For tests only, never set by the program: called by file_replace and
// file_write_new once the new text is in its temporary file, just before it
// takes its name.
extern void (*file_write_test_hook)();
}  // namespace orva
