// The accelerated decompression prognosis: AD.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void accelerated_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
