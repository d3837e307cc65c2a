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

namespace {

TypedLine read_typed_line(Platform& p) {
  std::optional<TypedLine> line = p.console_read_line();
  if (!line) throw EndOfInput{};
  return *line;
}

}  // namespace

std::string read_line(Platform& p) { return read_typed_line(p).text; }

void wait_enter(Platform& p) { (void)read_line(p); }

void console_shell_escape(Platform& p, std::string_view message) {
  while (true) {
    p.console_write_line(message);
    TypedLine line = read_typed_line(p);
    if (line.text.empty()) return;
    // The interpreter gets the command as typed or not at all: a line the
    // console had to cut, or one that a zero character would end early, would
    // run another command than the one typed.
    if (line.cut) {
      write(p, R"(" ", " Befehl laenger als ", I3, " Zeichen - nicht ausgefuehrt!")",
            {static_cast<int>(CONSOLE_LINE_LENGTH)});
      continue;
    }
    if (line.text.find('\0') != std::string::npos) {
      write(p, R"(" ", " Befehl mit Nullzeichen - nicht ausgefuehrt!")");
      continue;
    }
    p.console_run_command(line.text);
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
