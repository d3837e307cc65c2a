#include "analyses/comex.hpp"

namespace orva {

void comex_sat_procedure(DiveState&, Platform&) {}
void comex_bounce_procedure(DiveState&, Platform&) {}

}  // namespace orva
