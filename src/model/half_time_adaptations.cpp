#include "model/half_time_adaptations.hpp"

namespace orva {

void set_o2_consumption(DiveState&, Platform&) {}
void temperature_adaptation(DiveState&, Platform&) {}
void mixed_coefficient_matrix(DiveState&, Platform&) {}

}  // namespace orva
