// RGBM reduction-factor matrix: RS.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void rgbm_reduction_factors(DiveState& st, Platform& p);

}  // namespace orva
