// No-decompression limits: N, T, and the computation the surface tables share.
#pragma once

#include <functional>
#include <string_view>

#include "model/dive_state.hpp"
#include "model/kernel.hpp"
#include "platform/platform.hpp"

namespace orva {

// The limit at one depth and the compartment that sets it.
struct NoDecompressionLimit {
  double NDL;       // minutes; 999.99 when no compartment limits
  int compartment;  // NO_LIMITING_COMPARTMENT when no time lies below the cap
};

// The cap of every no-decompression limit, in minutes.
constexpr double NDL_CAP = 999.99;

// The compartment number N prints when no compartment has a time below the
// cap: no compartment sets the limit, so none is named.
constexpr int NO_LIMITING_COMPARTMENT = 0;

// The limit for a dive to `depth` from the current tensions, both gases
// together; with BZFLAG "Y" at the surcharged depth. Stores AMIX and BMIX (the
// mixture of the current tensions) and PIHE (the inspired helium at the depth).
NoDecompressionLimit no_decompression_limit(DiveState& st, double depth, std::string_view BZFLAG);

// The inspired inert pressure of both gases at Pamb: nitrogen and helium each
// from the one binary128 alveolar pressure, rounded to double, then added.
// Stores the helium part in PIHE.
double inspired_gas_pressure(DiveState& st, double Pamb);

// The mixture coefficients of compartment i from its current tensions, with
// a and b stored in AMIX and BMIX.
MixedCoefficients store_mixture(DiveState& st, int i);

// A table of limits at `rows` depths from 6 m in steps of 3 m: each depth in
// turn goes into DEPTH, its row is written and the line left open; DEPTH is 0
// afterwards.
void ndl_table(DiveState& st, Platform& p, int rows, const std::function<double(double)>& ndl_at);

void repetitive_dive_ndl(DiveState& st, Platform& p);
void mod_list_and_ndl_table(DiveState& st, Platform& p);

}  // namespace orva
