#include "prognosis/gf_accelerated_nitrox.hpp"

namespace orva {

void gf_accelerated_nitrox_prognosis(DiveState&, Platform&) {}

}  // namespace orva
