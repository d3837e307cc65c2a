#include "prognosis/oxygen_prognosis.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/depth_time_segment.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "prognosis/pmrc_prognosis.hpp"

namespace orva {
namespace {

using testing::StartedState;

// After a trimix dive at 60 m: what PMRC and OC leave in DiveState besides
// the tensions and the dive that no prognosis changes, and the switches they
// ignore.
TEST(PmrcAndOxygenPrognoses, LeaveDeepstopAndTheMixtureOfTheTensions) {
  struct Case {
    const char* name;
    void (*run)(DiveState&, Platform&);
    bool oxygen_at_three_metres;  // PIHE 0 after the last stop
  } cases[] = {{"PMRC", pmrc_deco_prognosis, false}, {"OC", oxygen_deco_prognosis, true}};
  for (const Case& c : cases) {
    auto s = std::make_unique<StartedState>(std::vector<std::string>{"60.", "20."});
    s->st.FO2 = 0.18;
    s->st.FHE = 0.45;
    s->st.FN2 = 0.37;
    depth_time_segment(s->st, s->p);
    segment_saturation(s->st, s->p);
    const DiveState before = s->st;
    size_t start = s->lines().size();
    c.run(s->st, s->p);
    std::vector<std::string> first = s->lines();
    first.erase(first.begin(), first.begin() + static_cast<long>(start));
    EXPECT_EQ(s->st.DEEPSTOP, before.DEEPSTOP) << c.name;
    double PIHE_3m = inspired_inert_pressure(ambient_pressure(before, 3.0), before.RQ, before.FHE);
    EXPECT_EQ(s->st.PIHE, c.oxygen_at_three_metres ? 0.0 : PIHE_3m) << c.name;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      MixedCoefficients mix = mixture_coefficients(before, i);
      EXPECT_EQ(s->st.AMIX[i], mix.a) << c.name << " " << i;
      EXPECT_EQ(s->st.BMIX[i], mix.b) << c.name << " " << i;
    }

    // LASTSTOP, the gradient factors and the surcharge switch change nothing;
    // a second run prints the same lines.
    s->st.LASTSTOP = 9.0;
    s->st.GFFLAG = "S";
    s->st.GFHI = 0.8;
    s->st.GFLO = 0.2;
    s->st.BZFLAG = "Y";
    start = s->lines().size();
    c.run(s->st, s->p);
    std::vector<std::string> second = s->lines();
    second.erase(second.begin(), second.begin() + static_cast<long>(start));
    EXPECT_GE(first.size(), 4u) << c.name;
    EXPECT_EQ(second, first) << c.name;
  }
}

}  // namespace
}  // namespace orva
