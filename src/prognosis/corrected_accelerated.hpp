// The corrected accelerated prognosis: TBM.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void corrected_accelerated_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
