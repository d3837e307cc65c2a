// Fixed-format records: the edit fields of every line the system writes and
// of every answer and file line it reads.
//
// A format is written as its list of items, for example
//   R"(" ", " P amb: ", F6.3)"
// Items: a literal in double quotes (a doubled quote inside stands for one),
// nX, Fw.d, Iw, Iw.m, Aw, A, a slash (ends a line) and a trailing dollar sign
// (leaves the last line open). A data item may carry a repeat count (16F6.2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/quad.hpp"

namespace orva {

// One value handed to a data item.
class Value {
 public:
  enum class Kind { Real, Quad, Integer, Text };
  Value(double x) : kind_(Kind::Real), real_(x) {}
  Value(quad x) : kind_(Kind::Quad), quad_(x) {}
  Value(int n) : kind_(Kind::Integer), int_(n) {}
  Value(long n) : kind_(Kind::Integer), int_(n) {}
  Value(long long n) : kind_(Kind::Integer), int_(n) {}
  Value(const char* s) : kind_(Kind::Text), text_(s) {}
  Value(std::string s) : kind_(Kind::Text), text_(std::move(s)) {}
  Value(std::string_view s) : kind_(Kind::Text), text_(s) {}

  Kind kind() const { return kind_; }
  double real() const { return real_; }
  quad quad_value() const { return quad_; }
  std::int64_t integer() const { return int_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  double real_ = 0.0;
  quad quad_ = 0;
  std::int64_t int_ = 0;
  std::string text_;
};

struct Record {
  std::vector<std::string> lines;
  bool open = false;  // the last line is left open for a prompt
};

Record format_record(std::string_view format, std::span<const Value> values);
inline Record format_record(std::string_view format, std::initializer_list<Value> values = {}) {
  return format_record(format, std::span<const Value>(values.begin(), values.size()));
}

// Fw.d: rounded on the exact binary value, ties to even; w asterisks when too wide.
std::string format_fixed(double x, int w, int d);
std::string format_fixed(quad x, int w, int d);
// Iw and Iw.m.
std::string format_integer(std::int64_t n, int w);
std::string format_integer(std::int64_t n, int w, int m);
// Aw; without a width the text itself.
std::string format_text(std::string_view s, int w);
inline std::string format_text(std::string_view s) { return std::string(s); }

// Input fields: the first w characters of the line.
std::optional<double> parse_fixed(std::string_view line, int w, int d);
std::optional<std::int64_t> parse_integer(std::string_view line, int w);
// Aw into a variable of the given length: blank padded, or its last
// characters when the field is longer. A UTF-8 character cut by either edge
// becomes blanks, one for each of its bytes inside.
std::string parse_text(std::string_view line, int w, int length);
// The first `width` bytes of a text (all of a shorter one), a UTF-8
// character cut by the edge made blanks, one for each of its bytes inside.
// Whether the edge cuts a character shows only in the bytes behind it: the
// text holds as many of them as it has, up to the three that end one.
std::string first_bytes(std::string_view text, std::size_t width);

// The characters 0x00 to 0x1F and 0x7F, which no text line of a file or a
// file name holds.
inline bool is_control_character(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

// Round half away from zero to a whole number (the protocol record's CNS and OTU).
double round_half_away(double x);

}  // namespace orva
