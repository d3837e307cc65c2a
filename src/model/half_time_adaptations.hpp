// Half-time adaptations and the mixed matrix: W, TA, MX.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_o2_consumption(DiveState& st, Platform& p);
void temperature_adaptation(DiveState& st, Platform& p);
void mixed_coefficient_matrix(DiveState& st, Platform& p);

}  // namespace orva
