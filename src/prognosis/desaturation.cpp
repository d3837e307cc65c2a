#include "prognosis/desaturation.hpp"

namespace orva {

void desaturation_and_fly_times(DiveState&, Platform&) {}

}  // namespace orva
