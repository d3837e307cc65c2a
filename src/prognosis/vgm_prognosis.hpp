// The per-compartment gradient-factor prognosis after A: every compartment
// follows a factor line of its own, from the factors of the coefficient files
// mixed by its nitrogen and helium tensions.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void vgm_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
