// Ascent to a stage: the command A.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void ascent_to_stage(DiveState& st, Platform& p);

}  // namespace orva
