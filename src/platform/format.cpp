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
  std::string text;  // literal
  int repeat = 1;
  int w = 0;
  int d = 0;   // decimals of Fw.d, minimum digits of Iw.m (-1 when absent)
  bool has_width = true;
};

[[noreturn]] void bad_format(std::string_view format) {
  throw std::logic_error("malformed format: " + std::string(format));
}

std::vector<Item> parse_format(std::string_view f) {
  std::vector<Item> items;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < f.size() && std::isspace(static_cast<unsigned char>(f[i]))) ++i;
  };
  auto number = [&]() -> int {
    int n = 0;
    bool any = false;
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) {
      n = n * 10 + (f[i] - '0');
      ++i;
      any = true;
    }
    if (!any) return -1;
    return n;
  };
  while (true) {
    skip_blanks();
    if (i >= f.size()) break;
    Item item{};
    char c = f[i];
    if (c == '"' || c == '\'') {
      char quote = c;
      ++i;
      std::string text;
      while (true) {
        if (i >= f.size()) bad_format(f);
        if (f[i] == quote) {
          if (i + 1 < f.size() && f[i + 1] == quote) {
            text += quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += f[i++];
      }
      item.type = Item::Type::Literal;
      item.text = std::move(text);
    } else if (c == '/') {
      item.type = Item::Type::Slash;
      ++i;
    } else if (c == '$') {
      item.type = Item::Type::Dollar;
      ++i;
    } else {
      int count = number();
      if (i >= f.size()) bad_format(f);
      char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(f[i++])));
      if (letter == 'X') {
        item.type = Item::Type::Blanks;
        item.w = count < 0 ? 1 : count;
      } else {
        item.repeat = count < 0 ? 1 : count;
        int w = number();
        item.w = w;
        item.has_width = w >= 0;
        item.d = -1;
        if (i < f.size() && f[i] == '.') {
          ++i;
          item.d = number();
          if (item.d < 0) bad_format(f);
        }
        switch (letter) {
          case 'F':
            if (w < 0 || item.d < 0) bad_format(f);
            item.type = Item::Type::Fixed;
            break;
          case 'I':
            if (w < 0) bad_format(f);
            item.type = Item::Type::Integer;
            break;
          case 'A':
            item.type = Item::Type::Text;
            break;
          default:
            bad_format(f);
        }
      }
    }
    items.push_back(std::move(item));
    skip_blanks();
    if (i < f.size()) {
      if (f[i] != ',') bad_format(f);
      ++i;
    }
  }
  return items;
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
        case Value::Kind::Real: n = static_cast<std::int64_t>(v.real()); break;
        case Value::Kind::Quad: n = to_int64(v.quad_value()); break;
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
  for (const Item& item : parse_format(format)) {
    switch (item.type) {
      case Item::Type::Literal: line += item.text; break;
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

std::string parse_text(std::string_view line, int w, int length) {
  std::string field(line.substr(0, std::min(line.size(), static_cast<size_t>(w))));
  // A field wider than the variable leaves its last characters in it.
  if (static_cast<int>(field.size()) > length) return field.substr(field.size() - static_cast<size_t>(length));
  field.append(static_cast<size_t>(length) - field.size(), ' ');
  return field;
}

double round_half_away(double x) { return std::round(x); }

}  // namespace orva
