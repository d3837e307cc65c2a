// Text files of the data folder's PROT folder: the protocol file, the state
// files and the coefficient files.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"
#include "platform/process.hpp"

namespace orva {

// The folder "C:\ORVA\PROT\" of the system, followed by a file name.
std::filesystem::path prot_file(const Platform& p, std::string_view name);

// A file opened for appending. Every record reaches the file whole or not at
// all, in one write, and starts a line of its own, whoever wrote the bytes
// before it; a record that could be written only in part is taken back.
//
// Runs that append to the same file take turns, record by record: a run
// writes only in its turn, so taking a record back never cuts what another
// run wrote. A run waits for its turn PROTOCOL_LOCK_WAIT in all, however many
// records it writes; once that is spent, a record whose turn does not come at
// once is kept, in order, and written before the next record that gets its
// turn. A reader that holds the file (a shared lock, as "flock -s" takes it)
// delays no one: the runs take their turns among themselves while it holds
// the file. A file system without locks gives no turns at all: records are
// appended as they come and never taken back.
inline constexpr std::chrono::seconds PROTOCOL_LOCK_WAIT{3};

// At the end of a run its kept records get a last, short wait for a turn
// beyond PROTOCOL_LOCK_WAIT: long enough for another run to finish a record,
// short enough that a lock held without end delays no one noticeably. An
// interrupt, a hangup or a termination signal that ends the run gives them
// the same last wait, and no more, before the run ends by the signal.
inline constexpr std::chrono::milliseconds PROTOCOL_LAST_TURN_WAIT{100};

// How long the screen may take the kept records that an ending signal names
// there; one that takes nothing for so long counts as gone.
inline constexpr std::chrono::seconds SIGNAL_SCREEN_WAIT{1};

// The reason given for records that found no turn, N of them.
std::string kept_records_reason(std::size_t count);

class AppendFile {
 public:
  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens (creating when missing); false when the file cannot be opened.
  bool open(const std::filesystem::path& path);
  bool is_open() const { return fd_ >= 0; }
  // The beginning of the screen line that tells why records did not reach
  // the file, in front of the reason; an ending signal that finds records
  // kept tells them with it.
  void set_not_written_line(std::string start);
  // The record as one line; control characters are written as blanks, so
  // the fixed columns of the file hold. The reason when it was not written;
  // a record kept for a later turn is no failure.
  std::optional<std::string> write_record(std::string_view line);
  // The end of the run's writing: the kept records get their last turn.
  // Those that find none are handed back and stay kept until close, so that
  // an ending signal before then still names them.
  struct End {
    std::optional<std::string> fault;     // as of write_record, for that last write
    std::vector<std::string> unwritten;  // the records that found no turn, in order
  };
  End finish();
  // The kept records where no screen showed them: nobody is left to tell,
  // so they are appended as they are, without a turn, and never taken back.
  void append_kept_without_turn();
  void close();
  ~AppendFile() { close(); }

 private:
  class Turn;
  std::optional<std::string> write_kept(std::chrono::nanoseconds& wait);
  int append_kept(const Turn& turn);
  bool ends_inside_a_line() const;
  std::string_view kept_data() const;
  // What an ending signal does with the kept records: their last turn;
  // where none comes, they are named on the screen, and where no screen
  // takes them, nobody is left to tell and they are appended without a turn.
  static void last_turn_at_signal(void* file);
  void tell_in_signal(std::initializer_list<std::string_view> reason, std::string_view records) const;
  void append_without_turn() const;

  int fd_ = -1;
  // Whether the file ends inside a line after this run's own cut record;
  // read from the file itself where the file can be read.
  bool line_open_ = false;
  // The records that wait for a turn, as they are written: a line end, then
  // each record with its line end, so that one write from the first byte or
  // the second appends them all, whether or not the file ends inside a line.
  // Changed only while the ending signals are held back.
  std::string kept_;
  std::size_t kept_count_ = 0;
  std::string not_written_line_;
  // Whether a write returned its fault; its caller told the first one.
  bool fault_returned_ = false;
  // What is left of the run's wait for its turn; kept when the file is opened again.
  std::chrono::nanoseconds lock_wait_left_ = PROTOCOL_LOCK_WAIT;
  EndingSignalWork at_signal_{&AppendFile::last_turn_at_signal, this};
};

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
// For tests only: called by AppendFile between the check that the file ends
// with the cut record and taking the record back.
extern void (*append_undo_test_hook)();
// For tests only: called by AppendFile in the middle of adding a record to
// the kept ones.
extern void (*keep_record_test_hook)();

}  // namespace orva
