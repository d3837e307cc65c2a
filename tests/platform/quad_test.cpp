#include "platform/quad.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace orva {
namespace {

// The remainder keeps the sign of the dividend and is exact.
TEST(Quad, RemainderHasTheSignOfTheDividend) {
  struct Case {
    quad x, y, remainder;
  };
  const std::vector<Case> cases = {
      {41.5Q, 16.0Q, 9.5Q}, {-41.5Q, 16.0Q, -9.5Q}, {41.5Q, -16.0Q, 9.5Q}, {32.0Q, 16.0Q, 0.0Q}, {15.9Q, 16.0Q, 15.9Q},
  };
  for (const Case& c : cases) EXPECT_TRUE(qmod(c.x, c.y) == c.remainder) << to_text(c.x) << " mod " << to_text(c.y);
  // Exact: 16.4 as a double, less 16, with nothing lost.
  EXPECT_TRUE(qmod(q(16.4), 16.0Q) == q(16.4) - 16.0Q);
}

// Truncation toward zero inside the 64-bit range; beyond it the nearest end,
// and the largest for a value that is not a number.
TEST(Quad, ConversionToA64BitIntegerSaturates) {
  constexpr std::int64_t MAX = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t MIN = std::numeric_limits<std::int64_t>::min();
  const quad TWO_TO_63 = 9223372036854775808.0Q;
  struct Case {
    quad x;
    std::int64_t n;
  };
  const std::vector<Case> cases = {
      {2.9Q, 2},
      {-2.9Q, -2},
      {-0.5Q, 0},
      {TWO_TO_63 - 0.5Q, MAX},  // truncates to the largest, which is representable
      {TWO_TO_63, MAX},
      {-TWO_TO_63, MIN},
      {-TWO_TO_63 - 0.5Q, MIN},  // truncates to the smallest
      {q(1e300), MAX},
      {q(-1e300), MIN},
      {q(std::numeric_limits<double>::infinity()), MAX},
      {q(-std::numeric_limits<double>::infinity()), MIN},
      {q(std::numeric_limits<double>::quiet_NaN()), MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(saturating_int64(c.x), c.n) << to_text(c.x);

  struct DoubleCase {
    double x;
    std::int64_t n;
  };
  const std::vector<DoubleCase> doubles = {
      {2.9, 2},
      {-2.9, -2},
      {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
      {9223372036854775808.0, MAX},
      {-9223372036854775808.0, MIN},
      {1e300, MAX},
      {-1e300, MIN},
      {std::numeric_limits<double>::infinity(), MAX},
      {-std::numeric_limits<double>::infinity(), MIN},
      {std::numeric_limits<double>::quiet_NaN(), MAX},
  };
  for (const DoubleCase& c : doubles) EXPECT_EQ(saturating_int64(c.x), c.n) << c.x;
}

}  // namespace
}  // namespace orva
