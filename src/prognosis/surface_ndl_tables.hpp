// Surface no-decompression tables: RL, and OC and ASY at the surface. Each
// asks a surface interval and prints two tables of limits for the next dive:
// one after an ordinary interval, one after an interval with modified
// off-gassing. The tensions of the dive are not changed.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

void shunt_ndl_table(DiveState& st, Platform& p);
void oxygen_ndl_table(DiveState& st, Platform& p);
void asymmetric_ndl_table(DiveState& st, Platform& p);

// The step factor of a right-to-left shunt for a surface interval of SI minutes.
double shunt_factor(double SI);

// The limit at one table depth from the tensions after the interval P: only
// compartments with Pi above both their surface M-value M0 and their tension
// count; the times use the rate constants k; a negative limit becomes 0.
double surface_no_decompression_limit(double Pi, const Comp& P, const Comp& M0, const Comp& k);

}  // namespace orva
