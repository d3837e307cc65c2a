// Oxygen-toxicity K-value plan: K.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void k_value_plan(DiveState& st, Platform& p);

}  // namespace orva
