// DCIEM deco stress indices: DS.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void dciem_stress_indices(DiveState& st, Platform& p);

}  // namespace orva
