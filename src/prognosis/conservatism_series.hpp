// The conservatism prognosis series: S. Five schedules from the current depth
// with the compartment tensions raised by 0, 5, 10, 15 and 20 per cent where
// the stop times are computed, each stop with three safety margins.
#pragma once

#include <array>
#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// Schedule k (0 to 4) raises the tensions by k / 20.
constexpr int CONSERVATISM_SCHEDULES = 5;
constexpr quad CONSERVATISM_STEP_DIVISOR = 20.0Q;

// p = (k / 20) x 100 per cent, binary128.
quad conservatism_percent(int k);
// c = k / 20 + 1, binary128; exactly 1 for k = 0.
quad conservatism_factor(int k);
// c x P, binary128, rounded to double.
double raised_tension(quad c, double P);

// The stop minutes raised by 15, 20 and 25 per cent: trunc(Tr x f + 1) for
// each factor f, binary128.
std::array<std::int64_t, 3> safety_margins(double Tr);

void conservatism_prognosis_series(DiveState& st, Platform& p);

}  // namespace orva
