// The platform of a terminal: standard input and output, the data folder
// named by ORVA_HOME (default $HOME/ORVA), the local clock.
#pragma once

#include <memory>

#include "platform/platform.hpp"

namespace orva {

class TerminalPlatform final : public Platform {
 public:
  explicit TerminalPlatform(std::unique_ptr<Graphics> graphics);

  void console_write_line(std::string_view text) override;
  void console_write_prompt(std::string_view text) override;
  std::optional<std::string> console_read_line() override;
  void console_run_command(std::string_view line) override;
  void console_note(std::string_view text) override;
  std::filesystem::path data_folder() const override;
  LocalDate clock_local_date() override;
  LocalTime clock_local_time() override;
  double clock_process_seconds() override;
  Graphics& graphics() override { return *graphics_; }

 private:
  std::unique_ptr<Graphics> graphics_;
  std::filesystem::path data_folder_;
};

// The data folder from the environment: ORVA_HOME, else $HOME/ORVA.
std::filesystem::path data_folder_from_environment();

}  // namespace orva
