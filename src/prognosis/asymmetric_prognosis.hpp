// The asymmetric prognosis: ASY at depth. Compartments 1 to 7 give off (and
// take up) gas with the fixed half-times of 70 min for nitrogen and 30 min
// for helium for the whole schedule; 8 to 16 keep those of their sets.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// ln2 / 70 and ln2 / 30 as the nearest doubles.
constexpr double ASYMMETRIC_RATE_N2 = 0.00990210257942779;
constexpr double ASYMMETRIC_RATE_HE = 0.023104906018664842;
// Compartments 1 to this one use the asymmetric rate constants.
constexpr int ASYMMETRIC_FAST_COMPARTMENTS = 7;
// The time to surface takes the ascent at this fixed rate in m/min.
constexpr int ASYMMETRIC_ASCENT_RATE = 9;

// The working rate constants: the asymmetric ones for compartments 1 to 7,
// copies of `K` for the others.
Comp asymmetric_rate_constants(const Comp& K, double asymmetric_rate);

// SUM + trunc(DEPTH / 9), the division and truncation in binary128.
double asymmetric_time_to_surface(double SUM, double DEPTH);

void asymmetric_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
