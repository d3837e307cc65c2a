// Nitrogen coefficient sets: the command NC.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void n2_coefficient_choice(DiveState& st, Platform& p);

}  // namespace orva
