// Box-profile risk and the P-no-stop model: BPA.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void box_profile_air_risk(DiveState& st, Platform& p);

}  // namespace orva
