// The platform of a terminal: standard input and output, the data folder
// named by ORVA_HOME (default $HOME/ORVA), the local clock.
#pragma once

#include <cstdio>
#include <memory>

#include "platform/platform.hpp"

namespace orva {

class TerminalPlatform final : public Platform {
 public:
  explicit TerminalPlatform(std::unique_ptr<Graphics> graphics);

  void console_write_line(std::string_view text) override;
  void console_write_prompt(std::string_view text) override;
  std::optional<TypedLine> console_read_line() override;
  void console_run_command(std::string_view line) override;
  void console_note(std::string_view text) override;
  std::size_t console_texts_lost() const override { return texts_lost_; }
  void console_write_lines_shown(std::span<const std::string> lines, const std::function<void()>& shown) override;
  std::filesystem::path data_folder() const override;
  LocalDate clock_local_date() override;
  LocalTime clock_local_time() override;
  double clock_process_seconds() override;
  Graphics& graphics() override { return *graphics_; }

 private:
  std::unique_ptr<Graphics> graphics_;
  std::filesystem::path data_folder_;
  bool screen_goes_nowhere_;
  std::size_t texts_lost_ = 0;
};

// One typed line from the console's input stream: its first
// CONSOLE_LINE_LENGTH bytes without the line end (and a CR before it), a
// UTF-8 character cut there made blanks as at a field edge; the rest of a
// longer line is read and dropped, never held. Nothing at the end of the
// input or at a read error; a stream left non-blocking is waited for.
std::optional<TypedLine> read_console_line(std::FILE* in);

// The data folder from the environment: ORVA_HOME, else $HOME/ORVA.
std::filesystem::path data_folder_from_environment();

}  // namespace orva
