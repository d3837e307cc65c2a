#include "prognosis/gf_accelerated_o2.hpp"

namespace orva {

void gf_accelerated_o2_prognosis(DiveState&, Platform&) {}

}  // namespace orva
