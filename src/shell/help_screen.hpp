// Help screen: ?, ?? and HELP.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void help_screen(DiveState& st, Platform& p);

}  // namespace orva
