#include "platform/quad.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orva
