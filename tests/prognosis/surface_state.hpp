// A diver at the surface right after start: the start gas, environment and
// coefficient set, and the tensions of surface air.
#pragma once

#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "model/started_state.hpp"
#include "support/fake_platform.hpp"
#include "support/handler_run.hpp"
#include "support/session.hpp"

namespace orva::testing {

inline DiveState surface_state() { return StartedState{}.st; }

// The state a session of typed commands leaves (without a protocol file, so
// no comment is asked first), e.g. an air dive entered with D.
inline DiveState state_after(const std::string& typed) {
  TempHome home(false);
  return run_session(typed, home.path()).state;
}

}  // namespace orva::testing
