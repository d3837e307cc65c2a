#include "prognosis/conservatism_series.hpp"

namespace orva {

void conservatism_prognosis_series(DiveState&, Platform&) {}

}  // namespace orva
