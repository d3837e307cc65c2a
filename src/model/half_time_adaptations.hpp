// Half-time adaptations and the mixed matrix: W, TA, MX.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_o2_consumption(DiveState& st, Platform& p);
void temperature_adaptation(DiveState& st, Platform& p);
void mixed_coefficient_matrix(DiveState& st, Platform& p);

// The oxygen consumptions W accepts; the state file takes no other.
bool accepted_o2_consumption(double VO2);

}  // namespace orva
