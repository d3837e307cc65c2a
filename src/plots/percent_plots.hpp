// Percent saturation plot and trimix heat map: %P and HM.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void percent_saturation_plot(DiveState& st, Platform& p);
void trimix_heat_map(DiveState& st, Platform& p);

}  // namespace orva
