// Gas and physiology settings: M, V, R, BP.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_gas_mix(DiveState& st, Platform& p);
void set_amv(DiveState& st, Platform& p);
void set_rq(DiveState& st, Platform& p);
void ball_park_values(DiveState& st, Platform& p);

// The values these questions accept; the state file takes no other.
bool accepted_o2_fraction(double FO2);
// The two fractions may add up to a little more than 1.
bool accepted_he_fraction(double FHE, double FO2);
bool accepted_amv(double AMV);
bool accepted_rq(double RQ);

}  // namespace orva
