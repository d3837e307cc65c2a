// Runs a whole session of the system in memory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "platform/gfx.hpp"

namespace orva::testing {

// A temporary data folder, removed at the end of the test.
class TempHome {
 public:
  // With the PROT folder unless told otherwise.
  explicit TempHome(bool with_prot = true);
  ~TempHome();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path prot(const std::string& name) const { return path_ / "PROT" / name; }
  // The text of a file below the data folder ("" when missing).
  std::string read(const std::string& relative) const;
  void write(const std::string& relative, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

struct SessionResult {
  std::string output;               // what the console shows
  std::vector<std::string> notes;   // standard-error notes
  int exit_code = -1;
  size_t unread = 0;                // input lines left over
  DiveState state;                  // the state at the end
};

// The input is the typed lines, one per line of the text.
SessionResult run_session(const std::string& input, const std::filesystem::path& home,
                          Graphics* graphics = nullptr);

std::vector<std::string> split_lines(const std::string& text);

// A readable line-by-line difference ("" when equal).
std::string line_diff(const std::string& expected, const std::string& actual);

}  // namespace orva::testing
