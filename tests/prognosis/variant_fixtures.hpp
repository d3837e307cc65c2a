// Dive states for the tests of the prognosis variants.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ascent_to_stage.hpp"
#include "model/depth_time_segment.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "prognosis/plain_prognosis.hpp"

namespace orva::testing {

// The compartments as the program start leaves them, at DEPTH, with AMIX and
// BMIX the mixture of those tensions (as the last D, E or A would leave them).
inline void at_depth_with_mixture(DiveState& st, double depth) {
  st.DEPTH = depth;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    MixedCoefficients mix = mixture_coefficients(st, i);
    st.AMIX[i] = mix.a;
    st.BMIX[i] = mix.b;
  }
}

// What every prognosis keeps: the tensions, sums, tolerated pressures,
// ceilings and the profile position.
inline void expect_dive_unchanged(const DiveState& before, const DiveState& after) {
  EXPECT_EQ(after.PN2, before.PN2);
  EXPECT_EQ(after.PHE, before.PHE);
  EXPECT_EQ(after.PSUM, before.PSUM);
  EXPECT_EQ(after.PAMBTOL, before.PAMBTOL);
  EXPECT_EQ(after.CEILM, before.CEILM);
  EXPECT_EQ(after.DEPTH, before.DEPTH);
  EXPECT_EQ(after.TIME, before.TIME);
  EXPECT_EQ(after.DIVETIME, before.DIVETIME);
  EXPECT_EQ(after.MAXDEPTH, before.MAXDEPTH);
}

// An air dive of D and an ascent A to the stage, followed by the plain
// prognosis, as the chain of A runs it; the typed lines are depth, time,
// stage and then the answers of the prognoses.
struct AirDive : StartedState {
  explicit AirDive(std::vector<std::string> typed) : StartedState(std::move(typed)) {
    depth_time_segment(st, p);
    segment_saturation(st, p);
    ascent_to_stage(st, p);
    plain_deco_prognosis(st, p);
  }

  // The lines printed from the line `first` on (the heading of a prognosis).
  std::vector<std::string> lines_from(const std::string& first) const {
    std::vector<std::string> all = lines();
    for (size_t k = 0; k < all.size(); ++k)
      if (all[k] == first) return {all.begin() + static_cast<long>(k), all.end()};
    return {};
  }
};

}  // namespace orva::testing
