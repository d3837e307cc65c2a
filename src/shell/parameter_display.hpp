// Parameter display: the command Z.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void parameter_display(DiveState& st, Platform& p);

}  // namespace orva
