// Risk estimators: RE.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void risk_estimators(DiveState& st, Platform& p);

}  // namespace orva
