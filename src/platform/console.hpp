// The dialogue of the handlers: records written to the console, typed lines,
// the pause, the shell escape and the question idiom ask_value.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/format.hpp"
#include "platform/platform.hpp"

namespace orva {

// Thrown by every read when the input has ended; the shell then ends the
// program as Q does.
struct EndOfInput {};

// One write statement: the lines of the record, the last left open when the
// format ends with a dollar sign.
void write(Platform& p, std::string_view format, std::span<const Value> values);
inline void write(Platform& p, std::string_view format, std::initializer_list<Value> values = {}) {
  write(p, format, std::span<const Value>(values.begin(), values.size()));
}

// The next typed line (Backspace already applied by the terminal).
std::string read_line(Platform& p);

// The pause: one typed line, ignored.
void wait_enter(Platform& p);

// The second command processor: the message, then each typed non-empty line
// run by the operating system, until an empty line. A line that is not the
// whole command typed (cut by the console, or holding a zero character) is
// refused with a line of its own.
void console_shell_escape(Platform& p, std::string_view message);

using AcceptReal = std::function<bool(double)>;
using AcceptInteger = std::function<bool(std::int64_t)>;

// The question idiom: write the prompt, read one Fw.d field, ask again without
// a message while the answer is malformed or not accepted.
double ask_value(Platform& p, std::string_view prompt_format, int w, int d, const AcceptReal& accept = {});
// The same with an Iw field.
std::int64_t ask_integer(Platform& p, std::string_view prompt_format, int w, const AcceptInteger& accept = {});
// A text answer of an Aw field into a variable of the given length; it cannot
// be malformed.
std::string ask_text(Platform& p, std::string_view prompt_format, int w, int length);

// Range tests of the settings questions compare in binary128.
inline bool within(double v, quad lo, quad hi) { return q(v) >= lo && q(v) <= hi; }

}  // namespace orva
