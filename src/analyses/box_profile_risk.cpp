#include "analyses/box_profile_risk.hpp"

namespace orva {

void box_profile_air_risk(DiveState&, Platform&) {}

}  // namespace orva
