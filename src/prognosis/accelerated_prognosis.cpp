#include "prognosis/accelerated_prognosis.hpp"

namespace orva {

void accelerated_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
