#include "analyses/comex.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/format.hpp"

namespace orva {
namespace {

TEST(Comex, ProcedureConstantOfABounceDive) {
  // 30 min to 40 m under the default lambda 97 x 10^6.
  EXPECT_EQ(format_fixed(comex_constant(30.0, 40.0, 97.0 * 1e6), 7, 3), "130.098");
}

TEST(Comex, StopCountFromTheDepth) {
  struct Case {
    double depth;
    std::int64_t stops;
  };
  const std::vector<Case> cases = {{6.1, 2}, {10.0, 3}, {30.0, 7}, {40.0, 9}, {50.0, 11}, {54.99, 11}, {55.0, 12}};
  for (const Case& c : cases) EXPECT_EQ(comex_stop_count(c.depth), c.stops) << c.depth;
}

TEST(Comex, StopCountOfADepthBeyondEveryDepthFieldEnds) {
  struct Case {
    double depth;
    std::int64_t stops;
  };
  const std::vector<Case> cases = {
      {99999.0, 20000},  // the deepest depth a state file holds
      {100000.0, 20001},
      {1e300, 20001},
      {std::numeric_limits<double>::infinity(), 20001},
      {std::numeric_limits<double>::quiet_NaN(), 20001},
  };
  for (const Case& c : cases) EXPECT_EQ(comex_stop_count(c.depth), c.stops) << c.depth;
}

TEST(Comex, StopMinutesByTheReciprocalLaw) {
  const double K = comex_constant(30.0, 40.0, 97.0 * 1e6);
  // 1/2 - 1/4 at 3 m: a quarter of K.
  EXPECT_EQ(comex_stop_minutes(K, 3.0), K * 0.25);
  const std::vector<const char*> minutes = {" 32.5", "  7.4", "  3.3", "  1.8", "  1.2", "  0.8", "  0.6", "  0.5", "  0.4"};
  for (size_t i = 0; i < minutes.size(); ++i)
    EXPECT_EQ(format_fixed(comex_stop_minutes(K, 3.0 * static_cast<double>(i + 1)), 5, 1), minutes[i]) << i;
}

}  // namespace
}  // namespace orva
