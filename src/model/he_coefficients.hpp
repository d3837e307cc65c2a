// Helium coefficient sets: the command HC.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void he_coefficient_choice(DiveState& st, Platform& p);

}  // namespace orva
