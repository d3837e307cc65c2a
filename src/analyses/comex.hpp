// COMEX saturation and bounce procedures: CS and CP.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void comex_sat_procedure(DiveState& st, Platform& p);
void comex_bounce_procedure(DiveState& st, Platform& p);

}  // namespace orva
