// Shared by the tests of the settings commands: the state a typed session
// leaves, and a table row of one typed session and one value it must leave.
#pragma once

#include <string>

#include "support/session.hpp"

namespace orva::testing {

// The state after the typed lines and Q, in a data folder without PROT (so
// no comment question comes first).
inline DiveState state_after(const std::string& typed) {
  TempHome home(false);
  return run_session(typed + "Q\n", home.path()).state;
}

struct ValueCase {
  const char* typed;
  double DiveState::*field;
  double expected;
};

}  // namespace orva::testing
