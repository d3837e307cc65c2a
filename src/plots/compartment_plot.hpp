// Compartment pressure plot: P.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void compartment_pressure_plot(DiveState& st, Platform& p);

}  // namespace orva
