#include "analyses/rgbm_reduction.hpp"

namespace orva {

void rgbm_reduction_factors(DiveState&, Platform&) {}

}  // namespace orva
