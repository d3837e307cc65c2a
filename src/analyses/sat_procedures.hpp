// Saturation ascent procedures: SAT.
#pragma once

#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

void mt92_sat_procedure(DiveState& st, Platform& p);
void normam15_sat_procedure(DiveState& st, Platform& p);
void usn_sat_1991_procedure(DiveState& st, Platform& p);
// Stores its time to surface in hours in tts_hours.
void usn_sat_2018_procedure(DiveState& st, Platform& p, double& tts_hours);
void usn_sat_excursions(DiveState& st, Platform& p);

// Hours from depth D (m) up to the lower band boundary B (m) at v m/h.
double sat_band_time(double D, quad B, quad v);
// The excursion limits (whole feet) for a storage depth in feet.
std::int64_t shallowest_excursion_feet(double storage_feet);
std::int64_t deepest_excursion_feet(double storage_feet);

}  // namespace orva
