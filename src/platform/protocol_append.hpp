// The protocol file, to which every run appends its records: the turns the
// runs take, the records that wait for a turn, and what an ending signal
// does with them.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.hpp"

namespace orva {

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
// the same last wait, and no more, before the run ends by the signal. Kept
// records that nobody can be shown wait as long, at most, for the other runs
// that append at the same moment.
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
  // Those that find none are handed back and stay kept until they are shown
  // or close, so that an ending signal before then still names them.
  struct End {
    std::optional<std::string> fault;     // as of write_record, for that last write
    std::vector<std::string> unwritten;  // the records that found no turn, in order
  };
  End finish();
  // The first of the kept records reached the screen whole: it is no longer
  // kept, and neither an ending signal nor append_kept_without_turn names it
  // or appends it again.
  void kept_record_shown();
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
  void forget_shown(std::size_t bytes);
  // What an ending signal does with the kept records: their last turn;
  // where none comes, they are named on the screen, and those that no screen
  // takes whole are appended without a turn, since nobody is left to tell.
  static void last_turn_at_signal(void* file);
  bool tell_in_signal(std::initializer_list<std::string_view> reason,
                      std::chrono::steady_clock::time_point deadline) const;
  void name_in_signal();
  void append_without_turn();

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

// For tests only: called by AppendFile between the check that the file ends
// with the cut record and taking the record back.
extern void (*append_undo_test_hook)();
// For tests only: called by AppendFile in the middle of adding a record to
// the kept ones.
extern void (*keep_record_test_hook)();

}  // namespace orva
