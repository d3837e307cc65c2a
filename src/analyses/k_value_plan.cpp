#include "analyses/k_value_plan.hpp"

namespace orva {

void k_value_plan(DiveState&, Platform&) {}

}  // namespace orva
