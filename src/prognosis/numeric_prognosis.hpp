// The numeric prognosis after A with ON: each stop time found by stepping
// every compartment forward in small equal time steps.
#pragma once

#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// The step size of an answer 0 (also an empty line), and its step count.
constexpr double DEFAULT_STEP = 0.01;
constexpr std::int64_t DEFAULT_STEPS = 60000;

// The number of steps of the step size h > 0: the binary128 quotient 600 / h
// rounded to double, truncated toward zero (the largest whole number for a
// quotient beyond the 64-bit range).
std::int64_t numeric_step_count(double h);

struct StepSearch {
  double t;            // the time searched, h added once per step
  std::int64_t steps;  // the step at which the search succeeded; 0 when it did not
  double a, b;         // the mixture of the last step
};

// The search of one compartment at a stop: from the start tensions P0N2 and
// P0He, step the tensions forward by h up to N times and stop at the first
// step whose tolerated pressure lies below the target pressure Pnext.
StepSearch step_search(double P0N2, double P0He, double PiN2, double PiHe, double KN2, double KHE, double AN2,
                       double AHE, double BN2, double BHE, quad Pnext, double h, std::int64_t N);

void numeric_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
