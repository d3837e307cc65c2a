#include "prognosis/gf_prognosis.hpp"

namespace orva {

void gf_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
