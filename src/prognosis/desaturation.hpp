// Desaturation and flying times: O.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void desaturation_and_fly_times(DiveState& st, Platform& p);

}  // namespace orva
