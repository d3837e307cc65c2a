#include "prognosis/vgm_prognosis.hpp"

namespace orva {

void vgm_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
