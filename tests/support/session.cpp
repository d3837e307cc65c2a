#include "support/session.hpp"

#include <fstream>
#include <random>
#include <sstream>

#include "shell/command_shell.hpp"
#include "support/fake_platform.hpp"

namespace orva::testing {

TempHome::TempHome(bool with_prot) {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("orva-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
  if (with_prot) std::filesystem::create_directories(path_ / "PROT");
}

TempHome::~TempHome() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempHome::read(const std::string& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void TempHome::write(const std::string& relative, const std::string& text) const {
  std::filesystem::create_directories((path_ / relative).parent_path());
  std::ofstream out(path_ / relative, std::ios::binary);
  out << text;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

SessionResult run_session(const std::string& input, const std::filesystem::path& home, Graphics* graphics) {
  FakePlatform p(split_lines(input), home);
  if (graphics) p.set_graphics(graphics);
  SessionResult r;
  r.exit_code = command_shell(r.state, p);
  r.output = p.output();
  r.notes = p.notes();
  r.unread = p.unread();
  return r;
}

std::string line_diff(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::vector<std::string> e = split_lines(expected), a = split_lines(actual);
  std::ostringstream out;
  size_t n = std::max(e.size(), a.size());
  int shown = 0;
  for (size_t i = 0; i < n && shown < 12; ++i) {
    const std::string* el = i < e.size() ? &e[i] : nullptr;
    const std::string* al = i < a.size() ? &a[i] : nullptr;
    if (el && al && *el == *al) continue;
    out << "line " << (i + 1) << ":\n";
    out << "  expected: " << (el ? "[" + *el + "]" : "(no line)") << "\n";
    out << "  actual:   " << (al ? "[" + *al + "]" : "(no line)") << "\n";
    ++shown;
  }
  if (shown == 0) out << "the texts differ only in their last line end\n";
  return out.str();
}

}  // namespace orva::testing
