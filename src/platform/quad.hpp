// Binary128 (IEEE 754 quadruple precision) arithmetic of the system.
//
// Every step the model computes in binary128 goes through the names here, so
// that it can be seen where a value is widened (q), where a binary128 result is
// rounded back to double (to_double) and where a binary128 function is used.
// Decimal constants are written as literals with the suffix Q, which GCC
// converts to the nearest binary128 value.
#pragma once

#include <quadmath.h>

#include <cstdint>
#include <limits>
#include <string>

namespace orva {

using quad = __float128;

// Widening a double is exact.
constexpr quad q(double x) { return static_cast<quad>(x); }

// Rounding to double: to nearest, ties to even.
constexpr double to_double(quad x) { return static_cast<double>(x); }

// Conversion to a 64-bit integer truncates toward zero. A value beyond the
// 64-bit range gives the nearest end of the range, and a value that is not a
// number gives the largest: no field of the system is wide enough for either
// end, so a whole number that cannot be represented prints as asterisks, and
// an infinite time counts as the longest.
constexpr std::int64_t saturating_int64(quad x) {
  constexpr quad TWO_TO_63 = 9223372036854775808.0Q;
  if (!(x < TWO_TO_63)) return std::numeric_limits<std::int64_t>::max();
  if (x <= -TWO_TO_63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(x);
}

// The same for a double (the truncation of a double step).
constexpr std::int64_t saturating_int64(double x) {
  constexpr double TWO_TO_63 = 9223372036854775808.0;
  if (!(x < TWO_TO_63)) return std::numeric_limits<std::int64_t>::max();
  if (x <= -TWO_TO_63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(x);
}

// ln 2, bit pattern 3FFE62E42FEFA39EF35793C7673007E6.
constexpr quad LN2 = 0.693147180559945309417232121458176575Q;

inline quad qexp(quad x) { return expq(x); }
inline quad qlog(quad x) { return logq(x); }
inline quad qpow(quad x, quad y) { return powq(x, y); }
inline quad qsqrt(quad x) { return sqrtq(x); }
// Remainder with the sign of the dividend (Fortran MOD).
inline quad qmod(quad x, quad y) { return fmodq(x, y); }
inline quad qabs(quad x) { return fabsq(x); }
inline quad qtrunc(quad x) { return truncq(x); }

// Nearest binary128 to a decimal text (for constants read at run time).
inline quad quad_from_text(const char* text) { return strtoflt128(text, nullptr); }

// The value with 36 significant digits, for tests and diagnostics.
inline std::string to_text(quad x) {
  char buf[64];
  quadmath_snprintf(buf, sizeof buf, "%.36Qg", x);
  return buf;
}

}  // namespace orva
