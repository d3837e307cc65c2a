// What the system needs from the machine it runs on: the console, the data
// folder, the clock and the graphics surface. The real terminal and a fake for
// tests both implement it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/gfx.hpp"

namespace orva {

struct LocalDate {
  int year = 0, month = 0, day = 0;
};

struct LocalTime {
  int hour = 0, minute = 0, second = 0, hundredths = 0;
};

// The console keeps this many bytes of a typed line.
constexpr std::size_t CONSOLE_LINE_LENGTH = 128;

// A typed line as the console keeps it: its first CONSOLE_LINE_LENGTH bytes,
// a UTF-8 character that the width cuts made blanks; cut tells that more
// were typed and dropped.
struct TypedLine {
  std::string text;
  bool cut = false;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Write one output line and end it.
  virtual void console_write_line(std::string_view text) = 0;
  // Write text without ending the line; the typed answer follows it.
  virtual void console_write_prompt(std::string_view text) = 0;
  // One typed line, or nothing at the end of input.
  virtual std::optional<TypedLine> console_read_line() = 0;
  // Run one line through the operating system's command interpreter.
  virtual void console_run_command(std::string_view line) = 0;
  // A note for the user outside the dialogue (standard error).
  virtual void console_note(std::string_view text) = 0;
  // How many of the lines and prompts written so far reached no screen: the
  // output goes nowhere (the null device), or the write failed (its reader
  // gone, a hang-up).
  virtual std::size_t console_texts_lost() const { return 0; }
  // Writes the lines one at a time, as console_write_line does, until one
  // reaches no screen. `shown` is called for each line that reached the
  // screen whole, and an ending signal comes either before the line reaches
  // the screen or after its `shown`, never in between: what the signal's work
  // finds not shown stands nowhere on the screen whole.
  virtual void console_write_lines_shown(std::span<const std::string> lines, const std::function<void()>& shown) {
    for (const std::string& line : lines) {
      const std::size_t lost = console_texts_lost();
      console_write_line(line);
      if (console_texts_lost() != lost) return;
      shown();
    }
  }

  // The data folder (C:\ORVA\ of the system); its PROT folder holds the files.
  virtual std::filesystem::path data_folder() const = 0;

  virtual LocalDate clock_local_date() = 0;
  virtual LocalTime clock_local_time() = 0;
  virtual double clock_process_seconds() = 0;

  virtual Graphics& graphics() = 0;
};

}  // namespace orva
