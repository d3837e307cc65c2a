// The process the program runs in: its standard descriptors, the signals
// that would end it in the middle of a write, the temporary file of a
// state-file write, which an interrupt must not leave behind, and the work
// an interrupt must still do before the program ends.
#pragma once

#include <limits.h>
#include <poll.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string_view>

namespace orva {

// Called first in main, before anything opens a file. A standard descriptor
// the program was started without is opened on /dev/null (input reads
// nothing, output goes nowhere), so that no file of the program takes its
// place and receives screen text. A write that crosses the file size limit,
// or goes to a reader that has gone away, then fails as on a full disk
// instead of ending the program.
void process_setup();

// The ending signals (an interrupt, a hangup, a termination) wait while a
// scope of this kind lasts: what their handler reads is changed only in such
// a scope, so the handler finds it whole. Scopes nest; inside a signal
// handler, where the signals wait already, nothing changes.
class EndingSignalsHeldBack {
 public:
  EndingSignalsHeldBack();
  ~EndingSignalsHeldBack();
  EndingSignalsHeldBack(const EndingSignalsHeldBack&) = delete;
  EndingSignalsHeldBack& operator=(const EndingSignalsHeldBack&) = delete;

  // Sleeps for the duration with the signals as they were before the scope:
  // outside a handler an ending signal may come while it sleeps, and a
  // signal that came while the scope held it back comes now.
  void sleep(std::chrono::nanoseconds duration) const { (void)poll(nullptr, 0, duration); }
  // Waits, as poll does, for the descriptors at most for the duration, with
  // the signals as they were before the scope, as sleep does.
  int poll(pollfd* fds, nfds_t count, std::chrono::nanoseconds duration) const;

 private:
  sigset_t old_;
};

// Work that an ending signal does before the program ends by the signal, as
// it would have without the work. It runs in the signal handler: it may make
// only the calls a handler may make, and what it reads is changed only while
// the ending signals are held back. The work armed last runs first. The
// works run once; then the handler ends the program by the signal itself,
// and the code the signal interrupted never goes on: it would act again on
// the records, files and screen the works have dealt with. A second ending
// signal, during the works or after them, ends the program by the first.
// While a work is armed the ending signals are caught; otherwise they are as
// the program was started with them. Signals the program was started to
// ignore stay ignored.
class EndingSignalWork {
 public:
  using Run = void (*)(void* context);
  EndingSignalWork(Run run, void* context) : run_(run), context_(context) {}
  ~EndingSignalWork() { disarm(); }
  EndingSignalWork(const EndingSignalWork&) = delete;
  EndingSignalWork& operator=(const EndingSignalWork&) = delete;

  void arm();
  void disarm();
  bool armed() const { return armed_; }

 private:
  friend struct ArmedWorks;
  Run run_;
  void* context_;
  EndingSignalWork* next_ = nullptr;
  bool armed_ = false;
};

// For the work of an ending signal: writes the text to the screen (standard
// output) in the time left until the deadline, however the screen is made
// (blocking or not, a terminal, a pipe, a file). How many of its bytes
// reached the screen: all of them, or fewer where the output goes nowhere
// (/dev/null: none), its reader has gone away or hung up, the write failed,
// or the screen took nothing more until the deadline.
std::size_t screen_write_in_signal(std::string_view text, std::chrono::steady_clock::time_point deadline);

// Writes the text to the screen (standard output) with the ending signals
// held back by `held`; they may come only while it waits for the screen,
// however long the screen takes, so that the work of an ending signal finds
// the text either not begun, or as far as the screen took it and the line
// then open. False when the write failed (the reader gone, a hang-up).
bool screen_write_held_back(std::string_view text, const EndingSignalsHeldBack& held);

// Standard output is the null device, as when the program was started
// without one: nobody reads what goes there.
bool screen_goes_nowhere();

// The console tells whether the screen's last line is open (a question
// waiting behind its prompt), so that text the work of an ending signal
// writes starts on a line of its own.
void set_screen_line_open(bool open);
bool screen_line_open();

// A temporary file that an interrupt (Ctrl-C), a hangup or a termination
// signal removes before the program ends by that signal, as it would have
// without it: the work of the signal while the file is held. Signals the
// program was started to ignore stay ignored; while no such file is held and
// no other work is armed, the signals are as they were.
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
  static void remove_at_signal(void* file);
  // The path as the signal's work reads it, which no allocation may follow.
  char path_[PATH_MAX] = {};
  // Armed while the file is held.
  EndingSignalWork at_signal_{&SignalGuardedFile::remove_at_signal, this};
};

}  // namespace orva
