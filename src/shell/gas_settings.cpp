#include "shell/gas_settings.hpp"

namespace orva {

void set_gas_mix(DiveState&, Platform&) {}
void set_amv(DiveState&, Platform&) {}
void set_rq(DiveState&, Platform&) {}
void ball_park_values(DiveState&, Platform&) {}

}  // namespace orva
