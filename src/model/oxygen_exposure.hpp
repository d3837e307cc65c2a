// The oxygen exposure step and the protocol file.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// With PROTMODE "S": opens the protocol file, asks the comment and writes the
// header. With any other letter: the oxygen exposure step of the segment in
// DEPTH and TIME and one protocol record.
void protocol_writer(DiveState& st, Platform& p);

}  // namespace orva
