#include "prognosis/corrected_accelerated.hpp"

namespace orva {

void corrected_accelerated_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
