#include "analyses/dciem_stress.hpp"

namespace orva {

void dciem_stress_indices(DiveState&, Platform&) {}

}  // namespace orva
