// The command loop: start-up, banner, prompt, keyword table and guards, and
// the program end.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// Runs the whole program on the given state; returns the exit code (0).
int command_shell(DiveState& st, Platform& p);

// The banner and the liability disclaimer, written at start and after CLR.
void write_banner(Platform& p);

}  // namespace orva
