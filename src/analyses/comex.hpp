// COMEX saturation and bounce procedures: CS and CP.
#pragma once

#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void comex_sat_procedure(DiveState& st, Platform& p);
void comex_bounce_procedure(DiveState& st, Platform& p);

// The procedure constant K = T^2.5 x D^4 / L of a dive of T minutes to D
// metres under the scaled parameter L.
double comex_constant(double T, double D, double L);
// The number of 3-m stops of a dive to D metres.
std::int64_t comex_stop_count(double D);
// The minutes at the stop at the given depth (m): K x (1/(S-1) - 1/(S+1)).
double comex_stop_minutes(double K, double depth);

}  // namespace orva
