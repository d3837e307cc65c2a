// The asymmetric prognosis: ASY at depth.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void asymmetric_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
