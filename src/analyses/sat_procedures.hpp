// Saturation ascent procedures: SAT.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void mt92_sat_procedure(DiveState& st, Platform& p);
void normam15_sat_procedure(DiveState& st, Platform& p);
void usn_sat_1991_procedure(DiveState& st, Platform& p);
// Stores its time to surface in hours in tts_hours.
void usn_sat_2018_procedure(DiveState& st, Platform& p, double& tts_hours);
void usn_sat_excursions(DiveState& st, Platform& p);

}  // namespace orva
