#include "prognosis/plain_prognosis.hpp"

namespace orva {

void plain_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
