// Gas and physiology settings: M, V, R, BP.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_gas_mix(DiveState& st, Platform& p);
void set_amv(DiveState& st, Platform& p);
void set_rq(DiveState& st, Platform& p);
void ball_park_values(DiveState& st, Platform& p);

}  // namespace orva
