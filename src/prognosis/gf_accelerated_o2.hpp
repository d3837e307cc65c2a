// The corrected oxygen prognosis with gradient factors after TBM.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void gf_accelerated_o2_prognosis(DiveState& st, Platform& p);

}  // namespace orva
