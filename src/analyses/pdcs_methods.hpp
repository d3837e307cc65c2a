// P(DCS) methods: PDCS.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void pdcs_methods(DiveState& st, Platform& p);

}  // namespace orva
