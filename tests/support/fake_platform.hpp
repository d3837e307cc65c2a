// A platform for tests: scripted input lines, captured output, a temporary
// data folder and a fixed clock.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace orva::testing {

class FakePlatform final : public Platform {
 public:
  FakePlatform(std::vector<std::string> input, std::filesystem::path data_folder);

  void console_write_line(std::string_view text) override;
  void console_write_prompt(std::string_view text) override;
  std::optional<TypedLine> console_read_line() override;
  void console_run_command(std::string_view line) override;
  void console_note(std::string_view text) override;
  std::filesystem::path data_folder() const override { return data_folder_; }
  LocalDate clock_local_date() override { return date; }
  LocalTime clock_local_time() override { return time; }
  double clock_process_seconds() override { return process_seconds; }
  Graphics& graphics() override { return graphics_ ? *graphics_ : null_graphics_; }

  void set_graphics(Graphics* g) { graphics_ = g; }

  // What the console shows, as one text.
  const std::string& output() const { return output_; }
  // The notes written beside the dialogue (standard error), one per line.
  const std::vector<std::string>& notes() const { return notes_; }
  // How many input lines were not read.
  size_t unread() const { return input_.size(); }
  // The commands handed to the command interpreter, in order.
  const std::vector<std::string>& commands_run() const { return commands_; }

  LocalDate date{2026, 12, 10};
  LocalTime time{10, 5, 7, 0};
  double process_seconds = 0.0;

 private:
  std::deque<std::string> input_;
  std::filesystem::path data_folder_;
  std::string output_;
  std::vector<std::string> notes_;
  std::vector<std::string> commands_;
  NullGraphics null_graphics_;
  Graphics* graphics_ = nullptr;
};

}  // namespace orva::testing
