// The PMRC prognosis.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void pmrc_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
