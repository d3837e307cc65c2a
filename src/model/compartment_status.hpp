// The per-compartment results the profile commands store and print after a
// tissue update: sum of the tensions, mixed coefficients, tolerated ambient
// pressure and ceiling.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// PAMBTOL(i) and CEILM(i) from PSUM(i), AMIX(i) and BMIX(i) as they stand: the
// ceiling from the unclamped tolerated pressure, then both clamped at 0.
void store_tolerance(DiveState& st, int i);

// PSUM(i), AMIX(i) and BMIX(i) from the tensions PN2(i) and PHE(i), then
// store_tolerance.
void update_compartment_status(DiveState& st, int i);

// The compartment line after a tissue update: number, PN2, PHE, PSUM, CEILM
// and PAMBTOL, each value in front of its label. D prints them short, A with
// more decimals.
enum class CompartmentLayout { Segment, Ascent };
void write_compartment_line(const DiveState& st, Platform& p, int i, CompartmentLayout layout);

}  // namespace orva
