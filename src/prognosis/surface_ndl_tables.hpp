// Surface no-decompression tables: RL, and OC and ASY at the surface.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void shunt_ndl_table(DiveState& st, Platform& p);
void oxygen_ndl_table(DiveState& st, Platform& p);
void asymmetric_ndl_table(DiveState& st, Platform& p);

}  // namespace orva
