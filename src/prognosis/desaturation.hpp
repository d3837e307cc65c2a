// Desaturation and flying times: O. For the diver at the surface, per
// compartment the minutes until its tension falls to 0.8 bar and until it
// tolerates the cabin pressure of 0.58 bar, breathing the current gas.
#pragma once

#include <string>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void desaturation_and_fly_times(DiveState& st, Platform& p);

// A time as printed: the value and its four-character unit.
struct ShownTime {
  double value;
  std::string unit;
};
// Minutes up to 120 stay minutes, longer times are shown in hours, a time of
// 0 or less is shown as 0 with " -- ".
ShownTime shown_time(double minutes);

}  // namespace orva
