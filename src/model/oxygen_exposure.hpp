// The oxygen exposure step and the protocol file.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// PROTNAME: the protocol file is PROT/PROTOCOL.TXT.
inline constexpr const char* PROTOCOL_NAME = "PROTOCOL";

// With PROTMODE "S": opens the protocol file, asks the comment and writes the
// header. With any other letter: the oxygen exposure step of the segment in
// DEPTH and TIME and one protocol record.
void protocol_writer(DiveState& st, Platform& p);

// The oxygen exposure step of the segment in DEPTH and TIME, charged under the
// mode letter of a profile command (D, E or A), and its protocol record.
void oxygen_exposure_step(DiveState& st, Platform& p, char letter);

// At the program end, after its record: the protocol file is closed. Records
// that found no turn in the file (another process held it exclusively until
// the end) are named on the screen, whole, so that none is lost unseen.
void protocol_close(DiveState& st, Platform& p);

// The NOAA CNS limit in minutes for an oxygen partial pressure in bar, for
// partial pressures from 0.55 atm up (below that no CNS is charged).
double noaa_cns_limit(double pO2);

}  // namespace orva
