#include "model/depth_time_segment.hpp"

namespace orva {

void depth_time_segment(DiveState&, Platform&) {}
void segment_saturation(DiveState&, Platform&) {}

}  // namespace orva
