#include "prognosis/numeric_prognosis.hpp"

namespace orva {

void numeric_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
