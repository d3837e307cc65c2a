// A dive state as the program start leaves it, and a platform that captures
// what a handler prints, for the unit tests of the prognoses and the profile
// commands.
#pragma once

#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva::testing {

// A data folder without a PROT folder: no comment question, no protocol.
struct StartedState {
  TempHome home{false};
  FakePlatform p;
  DiveState st;

  explicit StartedState(std::vector<std::string> input = {}) : p(std::move(input), home.path()) {
    one_time_startup(st);
    reset_dive_state(st, p);
  }

  // The lines printed so far.
  std::vector<std::string> lines() const { return split_lines(p.output()); }
};

}  // namespace orva::testing
