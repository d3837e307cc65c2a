#include "shell/environment_settings.hpp"

namespace orva {

void set_air_pressure(DiveState&, Platform&) {}
void set_water_density(DiveState&, Platform&) {}
void set_water_temperature(DiveState&, Platform&) {}
void set_last_stop(DiveState&, Platform&) {}
void set_ascent_rate(DiveState&, Platform&) {}
void set_gradient_factors(DiveState&, Platform&) {}
void toggle_latency(DiveState&, Platform&) {}
void set_o2_half_time(DiveState&, Platform&) {}

}  // namespace orva
