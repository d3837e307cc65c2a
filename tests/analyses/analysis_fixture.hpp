// The dive state at program start, and a handler run against typed lines,
// for the tests of the analyses.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva::testing {

// The state after the one-time start-up and a reset (the reset of CLR, which
// asks no comment).
inline DiveState start_state() {
  TempHome home(false);
  FakePlatform p({}, home.path());
  DiveState st;
  one_time_startup(st);
  st.CMD = "CLR ";
  reset_dive_state(st, p);
  return st;
}

// What the handler prints when the diver types the given lines.
inline std::string run_handler(const std::function<void(DiveState&, Platform&)>& handler, DiveState& st,
                               std::vector<std::string> typed = {}) {
  TempHome home(false);
  FakePlatform p(std::move(typed), home.path());
  handler(st, p);
  return p.output();
}

}  // namespace orva::testing
