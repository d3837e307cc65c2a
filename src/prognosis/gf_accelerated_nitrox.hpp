// The accelerated prognosis with gradient factors after AD.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void gf_accelerated_nitrox_prognosis(DiveState& st, Platform& p);

}  // namespace orva
