// Decompression stop pause: the command E.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void deco_stop_pause(DiveState& st, Platform& p);

}  // namespace orva
