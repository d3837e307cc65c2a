// The plain decompression prognosis after A.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void plain_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
