// Depth and time segment: the command D.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void depth_time_segment(DiveState& st, Platform& p);
void segment_saturation(DiveState& st, Platform& p);

}  // namespace orva
