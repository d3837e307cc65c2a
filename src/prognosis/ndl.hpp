// No-decompression limits: N and T.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void repetitive_dive_ndl(DiveState& st, Platform& p);
void mod_list_and_ndl_table(DiveState& st, Platform& p);

}  // namespace orva
