#include "prognosis/pmrc_prognosis.hpp"

namespace orva {

void pmrc_deco_prognosis(DiveState&, Platform&) {}

}  // namespace orva
