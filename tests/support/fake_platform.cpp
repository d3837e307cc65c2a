#include "support/fake_platform.hpp"

#include <array>
#include <cstdio>

#include "platform/format.hpp"

namespace orva::testing {

FakePlatform::FakePlatform(std::vector<std::string> input, std::filesystem::path data_folder)
    : input_(input.begin(), input.end()), data_folder_(std::move(data_folder)) {}

void FakePlatform::console_write_line(std::string_view text) {
  output_ += text;
  output_ += '\n';
}

void FakePlatform::console_write_prompt(std::string_view text) { output_ += text; }

std::optional<TypedLine> FakePlatform::console_read_line() {
  if (input_.empty()) return std::nullopt;
  TypedLine line{input_.front()};
  input_.pop_front();
  // Cut as the terminal's console cuts: never inside a character.
  line.cut = line.text.size() > CONSOLE_LINE_LENGTH;
  line.text = first_bytes(line.text, CONSOLE_LINE_LENGTH);
  return line;
}

void FakePlatform::console_run_command(std::string_view line) {
  std::string command(line);
  commands_.push_back(command);
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 256> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) output_.append(buf.data(), n);
    pclose(pipe);
  }
}

void FakePlatform::console_note(std::string_view text) { notes_.emplace_back(text); }

}  // namespace orva::testing
