// Gas and physiology settings: M, V, R, BP.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_gas_mix(DiveState& st, Platform& p);
void set_amv(DiveState& st, Platform& p);
void set_rq(DiveState& st, Platform& p);
void ball_park_values(DiveState& st, Platform& p);

// Oxygen and helium may add up to 1.00001: the nitrogen rest 1 - FO2 - FHE
// comes out at most that little below 0.
bool leaves_room_for_nitrogen(double FO2, double FHE);

}  // namespace orva
