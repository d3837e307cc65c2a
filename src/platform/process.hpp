// The process the program runs in: its standard descriptors, the signals
// that would end it in the middle of a write, and the temporary file of a
// state-file write, which an interrupt must not leave behind.
#pragma once

#include <filesystem>

namespace orva {

// Called first in main, before anything opens a file. A standard descriptor
// the program was started without is opened on /dev/null (input reads
// nothing, output goes nowhere), so that no file of the program takes its
// place and receives screen text. A write that crosses the file size limit,
// or goes to a reader that has gone away, then fails as on a full disk
// instead of ending the program.
void process_setup();

// A temporary file that an interrupt (Ctrl-C), a hangup or a termination
// signal removes before the program ends by that signal, as it would have
// without it. Signals the program was started to ignore stay ignored; while
// no such file is held, the signals are as they were. One at a time.
class SignalGuardedFile {
 public:
  SignalGuardedFile() = default;
  ~SignalGuardedFile() { remove(); }
  SignalGuardedFile(const SignalGuardedFile&) = delete;
  SignalGuardedFile& operator=(const SignalGuardedFile&) = delete;

  // Creates the file new, for writing: never an existing file or a link. Its
  // descriptor, or -1 with errno set as by open.
  int create(const std::filesystem::path& path);
  // Renames it into place; false with errno set, the file then still held.
  bool rename_to(const std::filesystem::path& target);
  // Gives it the target name where nothing stands under it, never in place
  // of another file; false with errno set (EEXIST when the name is taken),
  // the file then still held.
  bool rename_to_new(const std::filesystem::path& target);
  // Removes it, when one is held.
  void remove();

 private:
  void release();
  bool mine_ = false;
};

}  // namespace orva
