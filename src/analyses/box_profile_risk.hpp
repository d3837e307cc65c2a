// Box-profile risk and the P-no-stop model: BPA.
//
// The dive is taken as a box of DIVETIME minutes at MAXDEPTH on the current
// gas; the model compartments start from surface equilibrium, so the tensions
// of the dive state play no part.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// The two-compartment NMRI box-profile air model: rate constants ln2 / tau
// (the stored doubles), the threshold in bar and the weights in 1/min.
struct NmriParameters {
  double tau1, k1, tau2, k2, threshold, a1, a2;
};
// The P-no-stop model: rates in 1/min, the factor in 1/fsw.
struct NoStopParameters {
  double r1, r2, factor, weight, intercept;
};

// Central set, lower bound, upper bound.
extern const std::array<NmriParameters, 3> NMRI_BOX_PROFILE;
extern const std::array<NoStopParameters, 3> P_NO_STOP;

struct BoxProfileRisk {
  std::array<double, 3> nmri;     // central, lower, upper
  std::array<double, 3> no_stop;  // central, lower, upper
};
BoxProfileRisk box_profile_risk(const DiveState& st);

void box_profile_air_risk(DiveState& st, Platform& p);

}  // namespace orva
