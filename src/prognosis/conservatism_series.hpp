// The conservatism prognosis series: S.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void conservatism_prognosis_series(DiveState& st, Platform& p);

}  // namespace orva
