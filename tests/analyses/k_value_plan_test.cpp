#include "analyses/k_value_plan.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "analyses/analysis_fixture.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

TEST(KValuePlan, TimesFromNoExposureYet) {
  // With the sums at 0 each time is sqrt(K max) / x^n; recomputed independently.
  struct Row {
    double x;
    std::array<double, 4> cns;
    std::array<double, 2> pot;
  };
  const Row rows[] = {
      {1.6, {32.68728585236677, 48.959094670554784, 89.74633929508981, 133.07163918170355},
       {5.336797851441718, 11.933442777998504}},
      {0.5, {1705.6455568600725, 2554.719981031309, 4683.027081370318, 6943.771689686651},
       {76.12870693592403, 170.22896374788587}},
      {6.0, {0.3653192443951143, 0.5471760351133865, 1.0030219396798234, 1.4872336264272394},
       {0.26038700483005045, 0.5822430432575589}},
  };
  for (const Row& r : rows) {
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(time_to_k_limit(0.0, K_MAX_CNS[j], r.x, CNS_EXPONENT, CNS_EXPONENT_SQUARED), r.cns[j]) << r.x;
    for (int j = 0; j < 2; ++j)
      EXPECT_EQ(time_to_k_limit(0.0, K_MAX_POT[j], r.x, POT_EXPONENT, POT_EXPONENT_SQUARED), r.pot[j]) << r.x;
  }
}

TEST(KValuePlan, TimesSolveTheSquareOfTheSum) {
  // (sum + t x^3.4)^2 = K max at the printed time.
  const double sum = 100.0, x = 1.3;
  double t = *time_to_k_limit(sum, 58571, x, CNS_EXPONENT, CNS_EXPONENT_SQUARED);
  double reached = sum + t * std::pow(x, 3.4);
  EXPECT_NEAR(reached * reached, 58571.0, 1e-6);
}

TEST(KValuePlan, ALimitAlreadyReachedPrintsNoTime) {
  DiveState st = start_state();
  st.SQKCNS = 200.0;  // K CNS 40000: past 1 %, below 2 %
  st.KCNS = 40000.0;
  st.SQKPOT = 40.0;  // K P-OT 1600: past both limits
  st.KPOT = 1600.0;
  EXPECT_EQ(console_of(k_value_plan, st, {""}),
            "  K-Value Plan: CNS-OT & P-OT\n"
            "  Target pO2, default = 1.6: \n"
            "  in [atm] !!!    topical K CNS-OT:    40000.0        topical K P-OT:   1600.0\n"
            " ****  K max values  ****************** CNS-OT: \n"
            "  1% risk:   26108.  2% risk:   58571.  4% risk:  196811.  6% risk:  432700.\n"
            "  percent of K max dose: \n"
            "  1% risk: ****  2% risk: .683  4% risk: .203  6% risk: .092\n"
            "  max. time [min] for 2% CNS risk:    8.5\n"
            "  max. time [min] for 4% CNS risk:   49.3\n"
            "  max. time [min] for 6% CNS risk:   92.6\n"
            " ****  K max values P-OT:  244      1220 **** \n"
            "  percent of K max dose: \n"
            "  -2% delta VC: **** -10% delta VC: ****\n");
}

TEST(KValuePlan, TargetAnswers) {
  testing::expect_answers(k_value_plan, start_state(), "  in [atm] !!!  ",
                          {
                              {{""}, 1, "1.6"},                     // empty: the default, without the range test
                              {{"16", "0.4", "160"}, 3, "1.60"},    // 16 reads 0.16, 0.4 is too low, 160 reads 1.60
                              {{"6.01", "6.0"}, 2, "6."},           // 6.0 is the top of the range
                              {{"0.5"}, 1, "0.5"},                  // 0.5 the bottom
                              {{"x", "2", "0.49", "2."}, 4, "2."},  // malformed; 2 reads 0.02
                          });
}

}  // namespace
}  // namespace orva
