// The numeric prognosis after A with ON.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void numeric_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
