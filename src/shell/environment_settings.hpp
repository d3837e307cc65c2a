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

}  // namespace orva
