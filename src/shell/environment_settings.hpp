// Environment, ascent and mode settings: L, DI, TE, LS, AR, GF, LAT, O2.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void set_air_pressure(DiveState& st, Platform& p);
void set_water_density(DiveState& st, Platform& p);
void set_water_temperature(DiveState& st, Platform& p);
void set_last_stop(DiveState& st, Platform& p);
void set_ascent_rate(DiveState& st, Platform& p);
void set_gradient_factors(DiveState& st, Platform& p);
void toggle_latency(DiveState& st, Platform& p);
void set_o2_half_time(DiveState& st, Platform& p);

// The values these questions accept; the state file takes no other.
bool accepted_air_pressure(double PAIR);
bool accepted_last_stop(double LASTSTOP);
bool accepted_ascent_rate(double ASCRATE);
bool accepted_gf_high(double GFHI);
bool accepted_gf_low(double GFLO);

}  // namespace orva
