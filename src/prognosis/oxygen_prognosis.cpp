#include "prognosis/oxygen_prognosis.hpp"

namespace orva {

void oxygen_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
