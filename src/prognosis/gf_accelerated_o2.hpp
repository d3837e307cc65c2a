// The corrected oxygen prognosis with gradient factors after TBM.
#pragma once

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// Every printed stop time of the schedule is this many times the computed one.
constexpr quad STOP_TIME_STRETCH = 1.5Q;

// trunc(1.5 x T) + 1 in binary128, rounded to double; the tissues are still
// updated over T.
double stretched_stop_minutes(double T);

void gf_accelerated_o2_prognosis(DiveState& st, Platform& p);

}  // namespace orva
