// State file: the command F.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void state_file(DiveState& st, Platform& p);

}  // namespace orva
