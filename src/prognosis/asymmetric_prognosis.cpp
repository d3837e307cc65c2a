#include "prognosis/asymmetric_prognosis.hpp"

namespace orva {

void asymmetric_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
