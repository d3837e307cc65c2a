#include "platform/format.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace orva {
namespace {

std::string asterisks(int w) { return std::string(static_cast<size_t>(w > 0 ? w : 0), '*'); }

std::string right_justify(const std::string& s, int w) {
  if (static_cast<int>(s.size()) > w) return asterisks(w);
  return std::string(static_cast<size_t>(w) - s.size(), ' ') + s;
}

// A value that is not a finite number is written as its name, right-justified,
// or as asterisks when the field is too narrow for it.
std::string non_finite_text(bool nan, bool negative, int w) {
  if (nan) return right_justify("NaN", w);
  std::string name = negative ? "-Infinity" : "Infinity";
  if (static_cast<int>(name.size()) <= w) return right_justify(name, w);
  return right_justify(negative ? "-Inf" : "Inf", w);
}

// The digits come from the C library's exact decimal conversion, which rounds
// the exact binary value to nearest with ties to even and keeps the sign of a
// value that rounds to zero. The zero before the point is dropped only when
// the field has no room for it.
std::string fit_fixed(std::string s, int w) {
  if (static_cast<int>(s.size()) > w) {
    size_t zero = (s[0] == '-') ? 1 : 0;
    if (s.size() > zero + 1 && s[zero] == '0' && s[zero + 1] == '.') s.erase(zero, 1);
  }
  return right_justify(s, w);
}

struct Item {
  enum class Type { Literal, Blanks, Fixed, Integer, Text, Slash, Dollar } type;
  std::string_view text;  // literal as written, without its quotes
  char quote = '"';
  int repeat = 1;
  int w = 0;
  int d = 0;   // decimals of Fw.d, minimum digits of Iw.m (-1 when absent)
  bool has_width = true;
};

[[noreturn]] void bad_format(std::string_view format) {
  throw std::logic_error("malformed format: " + std::string(format));
}

// Reads the items of a format one at a time, so that writing a record
// allocates nothing for the format itself.
class FormatScanner {
 public:
  explicit FormatScanner(std::string_view f) : f_(f) {}

  bool next(Item& item) {
    skip_blanks();
    if (i_ >= f_.size()) return false;
    item = Item{};
    char c = f_[i_];
    if (c == '"' || c == '\'') {
      item.type = Item::Type::Literal;
      item.quote = c;
      size_t start = ++i_;
      while (true) {
        if (i_ >= f_.size()) bad_format(f_);
        if (f_[i_] == c) {
          if (i_ + 1 < f_.size() && f_[i_ + 1] == c) {
            i_ += 2;
            continue;
          }
          break;
        }
        ++i_;
      }
      item.text = f_.substr(start, i_ - start);
      ++i_;
    } else if (c == '/') {
      item.type = Item::Type::Slash;
      ++i_;
    } else if (c == '$') {
      item.type = Item::Type::Dollar;
      ++i_;
    } else {
      int count = number();
      if (i_ >= f_.size()) bad_format(f_);
      char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(f_[i_++])));
      if (letter == 'X') {
        item.type = Item::Type::Blanks;
        item.w = count < 0 ? 1 : count;
      } else {
        item.repeat = count < 0 ? 1 : count;
        int w = number();
        item.w = w;
        item.has_width = w >= 0;
        item.d = -1;
        if (i_ < f_.size() && f_[i_] == '.') {
          ++i_;
          item.d = number();
          if (item.d < 0) bad_format(f_);
        }
        switch (letter) {
          case 'F':
            if (w < 0 || item.d < 0) bad_format(f_);
            item.type = Item::Type::Fixed;
            break;
          case 'I':
            if (w < 0) bad_format(f_);
            item.type = Item::Type::Integer;
            break;
          case 'A':
            item.type = Item::Type::Text;
            break;
          default:
            bad_format(f_);
        }
      }
    }
    skip_blanks();
    if (i_ < f_.size()) {
      if (f_[i_] != ',') bad_format(f_);
      ++i_;
    }
    return true;
  }

 private:
  void skip_blanks() {
    while (i_ < f_.size() && std::isspace(static_cast<unsigned char>(f_[i_]))) ++i_;
  }
  int number() {
    int n = 0;
    bool any = false;
    while (i_ < f_.size() && std::isdigit(static_cast<unsigned char>(f_[i_]))) {
      n = n * 10 + (f_[i_] - '0');
      ++i_;
      any = true;
    }
    return any ? n : -1;
  }

  std::string_view f_;
  size_t i_ = 0;
};

// A literal's text, a doubled quote standing for one.
void append_literal(std::string& line, const Item& item) {
  for (size_t k = 0; k < item.text.size(); ++k) {
    line += item.text[k];
    if (item.text[k] == item.quote) ++k;
  }
}

std::string edit_value(const Item& item, const Value& v) {
  switch (item.type) {
    case Item::Type::Fixed:
      switch (v.kind()) {
        case Value::Kind::Quad: return format_fixed(v.quad_value(), item.w, item.d);
        case Value::Kind::Integer: return format_fixed(static_cast<double>(v.integer()), item.w, item.d);
        case Value::Kind::Real: return format_fixed(v.real(), item.w, item.d);
        case Value::Kind::Text: return asterisks(item.w);
      }
      break;
    case Item::Type::Integer: {
      std::int64_t n = 0;
      switch (v.kind()) {
        case Value::Kind::Integer: n = v.integer(); break;
        case Value::Kind::Real:
          // A number that has no whole-number value prints as asterisks.
          if (!(std::fabs(v.real()) < 9.2e18)) return asterisks(item.w);
          n = saturating_int64(v.real());
          break;
        case Value::Kind::Quad:
          if (!(qabs(v.quad_value()) < 9.2e18Q)) return asterisks(item.w);
          n = saturating_int64(v.quad_value());
          break;
        case Value::Kind::Text: return asterisks(item.w);
      }
      return item.d >= 0 ? format_integer(n, item.w, item.d) : format_integer(n, item.w);
    }
    case Item::Type::Text: {
      std::string s = v.kind() == Value::Kind::Text ? v.text() : std::string();
      return item.has_width ? format_text(s, item.w) : s;
    }
    default:
      break;
  }
  return {};
}

// Digits of a number field: the first w characters, ended early by a comma,
// blanks removed.
std::string number_field(std::string_view line, int w) {
  std::string_view field = line.substr(0, std::min(line.size(), static_cast<size_t>(w)));
  size_t comma = field.find(',');
  if (comma != std::string_view::npos) field = field.substr(0, comma);
  std::string digits;
  for (char c : field)
    if (c != ' ' && c != '\t') digits += c;
  return digits;
}

}  // namespace

Record format_record(std::string_view format, std::span<const Value> values) {
  Record rec;
  std::string line;
  bool last_was_dollar = false;
  size_t next = 0;
  bool stopped = false;
  FormatScanner scanner(format);
  Item item;
  while (scanner.next(item)) {
    switch (item.type) {
      case Item::Type::Literal: append_literal(line, item); break;
      case Item::Type::Blanks: line.append(static_cast<size_t>(item.w), ' '); break;
      case Item::Type::Slash:
        rec.lines.push_back(std::move(line));
        line.clear();
        break;
      case Item::Type::Dollar: last_was_dollar = true; continue;
      default:
        for (int r = 0; r < item.repeat; ++r) {
          if (next >= values.size()) {
            stopped = true;
            break;
          }
          line += edit_value(item, values[next++]);
        }
        break;
    }
    if (stopped) break;
    last_was_dollar = false;
  }
  rec.lines.push_back(std::move(line));
  rec.open = last_was_dollar;
  return rec;
}

std::string format_fixed(double x, int w, int d) {
  if (!std::isfinite(x)) return non_finite_text(std::isnan(x), std::signbit(x), w);
  char buf[512];
  std::snprintf(buf, sizeof buf, "%#.*f", d, x);
  return fit_fixed(buf, w);
}

std::string format_fixed(quad x, int w, int d) {
  if (isnanq(x)) return non_finite_text(true, false, w);
  if (isinfq(x)) return non_finite_text(false, signbitq(x) != 0, w);
  char buf[5120];
  quadmath_snprintf(buf, sizeof buf, "%#.*Qf", d, x);
  return fit_fixed(buf, w);
}

std::string format_integer(std::int64_t n, int w) { return right_justify(std::to_string(n), w); }

std::string format_integer(std::int64_t n, int w, int m) {
  __int128 v = n;
  bool negative = v < 0;
  if (negative) v = -v;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  if (static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<size_t>(m) - digits.size(), '0');
  return right_justify(negative ? "-" + digits : digits, w);
}

std::string format_text(std::string_view s, int w) {
  if (static_cast<int>(s.size()) >= w) return std::string(s.substr(0, static_cast<size_t>(w)));
  return std::string(static_cast<size_t>(w) - s.size(), ' ') + std::string(s);
}

std::optional<double> parse_fixed(std::string_view line, int w, int d) {
  std::string s = number_field(line, w);
  if (s.empty()) return 0.0;
  size_t i = 0;
  std::string sign;
  if (s[i] == '+' || s[i] == '-') sign = s[i++] == '-' ? "-" : "";
  std::string int_digits, frac_digits;
  bool point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      (point ? frac_digits : int_digits) += c;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (int_digits.empty() && frac_digits.empty()) return std::nullopt;
  if (!point) {
    // No decimal point typed: the last d digits are the decimals.
    if (static_cast<int>(int_digits.size()) < d) int_digits.insert(0, static_cast<size_t>(d) - int_digits.size(), '0');
    frac_digits = int_digits.substr(int_digits.size() - static_cast<size_t>(d));
    int_digits.resize(int_digits.size() - static_cast<size_t>(d));
  }
  std::string text = sign + (int_digits.empty() ? "0" : int_digits) + "." + (frac_digits.empty() ? "0" : frac_digits);
  return std::strtod(text.c_str(), nullptr);
}

std::optional<std::int64_t> parse_integer(std::string_view line, int w) {
  std::string s = number_field(line, w);
  if (s.empty()) return 0;
  size_t i = 0;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  if (i >= s.size()) return std::nullopt;
  __int128 n = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
    n = n * 10 + (s[i] - '0');
    if (n > static_cast<__int128>(std::numeric_limits<std::int64_t>::max()) + 1) return std::nullopt;
  }
  if (negative) n = -n;
  if (n > std::numeric_limits<std::int64_t>::max() || n < std::numeric_limits<std::int64_t>::min()) return std::nullopt;
  return static_cast<std::int64_t>(n);
}

namespace {

// Typed text is UTF-8: a character may take up to four bytes, and the fields
// count bytes. A field edge that falls inside a character would leave half
// of it; that part becomes blanks instead, so the field keeps its width in
// bytes and holds only whole characters.
bool continues_a_character(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The bytes of the character that begins with lead, or 1 for a byte that
// begins none.
size_t character_bytes(char lead) {
  const unsigned char c = static_cast<unsigned char>(lead);
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 1;
}

// Where the character that holds byte at of text begins, when an edge at
// that byte would cut it; otherwise at itself. Bytes that are no UTF-8
// character are single characters.
size_t cut_character_start(std::string_view text, size_t at) {
  if (at == 0 || at >= text.size() || !continues_a_character(text[at])) return at;
  for (size_t lead = at; lead-- > 0 && at - lead < 4;) {
    if (continues_a_character(text[lead])) continue;
    const size_t bytes = character_bytes(text[lead]);
    if (lead + bytes <= at || lead + bytes > text.size()) return at;
    for (size_t k = lead + 1; k < lead + bytes; ++k)
      if (!continues_a_character(text[k])) return at;
    return lead;
  }
  return at;
}

}  // namespace

std::string first_bytes(std::string_view text, std::size_t width) {
  width = std::min(text.size(), width);
  std::string kept(text.substr(0, width));
  for (size_t k = cut_character_start(text, width); k < width; ++k) kept[k] = ' ';
  return kept;
}

std::string parse_text(std::string_view line, int w, int length) {
  // The end of the field cuts the character it falls into.
  std::string field = first_bytes(line, static_cast<size_t>(w));
  // A field wider than the variable leaves its last characters in it; the
  // character the start of them falls into is cut.
  if (field.size() > static_cast<size_t>(length)) {
    const size_t start = field.size() - static_cast<size_t>(length);
    const size_t lead = cut_character_start(field, start);
    if (lead < start)
      for (size_t k = start; k < lead + character_bytes(field[lead]); ++k) field[k] = ' ';
    return field.substr(start);
  }
  field.append(static_cast<size_t>(length) - field.size(), ' ');
  return field;
}

double round_half_away(double x) { return std::round(x); }

}  // namespace orva
