// The maximum operating depth for a limit given as a binary128 constant takes
// the constant unchanged, not the double nearest to it.
#include <gtest/gtest.h>

#include "model/kernel.hpp"

using namespace orva;

TEST(MaximumOperatingDepth, BinaryLimitTakenUnchanged) {
  // FO2 0.5: (1.6 / 0.5 - 1) x 10 = 22 up to the last binary128 digit; the
  // double 1.6 lies 8.9e-17 above 1.6 and gives 22.0000000000000017764.
  quad exact = maximum_operating_depth(1.6Q, 0.5);
  EXPECT_LT(qabs(exact - 22.0Q), 1.0e-30Q);
  quad from_double = maximum_operating_depth(1.6, 0.5);
  EXPECT_GT(from_double - 22.0Q, 1.7e-15Q);
  EXPECT_LT(from_double - 22.0Q, 1.8e-15Q);
}
