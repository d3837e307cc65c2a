#include "platform/console.hpp"

namespace orva {

void write(Platform& p, std::string_view format, std::span<const Value> values) {
  Record rec = format_record(format, values);
  for (size_t i = 0; i < rec.lines.size(); ++i) {
    if (i + 1 == rec.lines.size() && rec.open)
      p.console_write_prompt(rec.lines[i]);
    else
      p.console_write_line(rec.lines[i]);
  }
}

std::string read_line(Platform& p) {
  std::optional<std::string> line = p.console_read_line();
  if (!line) throw EndOfInput{};
  return *line;
}

void wait_enter(Platform& p) { (void)read_line(p); }

void console_shell_escape(Platform& p, std::string_view message) {
  while (true) {
    p.console_write_line(message);
    std::string line = read_line(p);
    if (line.find_first_not_of(' ') == std::string::npos) return;
    p.console_run_command(line);
  }
}

double ask_value(Platform& p, std::string_view prompt_format, int w, int d, const AcceptReal& accept) {
  while (true) {
    write(p, prompt_format);
    std::optional<double> v = parse_fixed(read_line(p), w, d);
    if (!v) continue;
    if (accept && !accept(*v)) continue;
    return *v;
  }
}

std::int64_t ask_integer(Platform& p, std::string_view prompt_format, int w, const AcceptInteger& accept) {
  while (true) {
    write(p, prompt_format);
    std::optional<std::int64_t> v = parse_integer(read_line(p), w);
    if (!v) continue;
    if (accept && !accept(*v)) continue;
    return *v;
  }
}

std::string ask_text(Platform& p, std::string_view prompt_format, int w, int length) {
  write(p, prompt_format);
  return parse_text(read_line(p), w, length);
}

}  // namespace orva
