// The oxygen-corrected prognosis: OC at depth.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void oxygen_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
