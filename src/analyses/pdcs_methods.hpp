// P(DCS) methods: PDCS.
//
// Seven published methods for the dive taken as a box of DIVETIME minutes at
// MAXDEPTH, the model compartments starting from surface equilibrium.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// Method I: z = ln Pamb x a + constant + ln T x b - (ln T)^2 x c, binary128.
struct SoutherlandParameters {
  quad ln_pamb, constant, ln_t, ln_t_squared;
};
constexpr SoutherlandParameters SOUTHERLAND_1992 = {6.64Q, -25.95Q, 5.31Q, 0.33Q};

// A model compartment: half-time (min), rate constant ln2 / tau as stored, weight.
struct WeightedCompartment {
  double tau, k, w;
};
// Method II: the six compartments of the enhanced PME model.
extern const std::array<WeightedCompartment, 6> PME_COMPARTMENTS;
// Method III: three compartments per line (central, lower, upper bound).
extern const std::array<std::array<WeightedCompartment, 3>, 3> STAT_TABLES_M4;
// The factor on the first two terms of the central line of method III.
constexpr quad STAT_TABLES_CENTRAL_FACTOR = 1.025Q;

// Methods IVa and IVb: exponent p, rate r, offset c (fsw), slope s, time
// offset d (min), intercept e. IVa central, lower, upper, then IVb the same.
struct NeduTimeParameters {
  double p, r, c, s, d, e;
};
extern const std::array<NeduTimeParameters, 6> NEDU_2004;

// Methods Va and Vb: the coefficients on ln J, the constant, ln T, ln(T x T)
// and ASCRATE. Va central, lower, upper, then Vb the same (Vb uses the first
// three terms only).
struct NeduLogParameters {
  double b1, b0, b2, b3, b4;
};
extern const std::array<NeduLogParameters, 6> NEDU_2009;

struct PdcsResult {
  double I, II;
  std::array<double, 3> III;  // central, lower, upper
  std::array<double, 6> IV;   // IVa central, lower, upper, IVb central, lower, upper
  std::array<double, 6> V;    // Va central, lower, upper, Vb central, lower, upper
  double SDEV, MEAN;          // over the seven central values
};
// TTS, the typed time to surface, enters only the six IV values.
PdcsResult pdcs_values(const DiveState& st, double TTS);

void pdcs_methods(DiveState& st, Platform& p);

}  // namespace orva
