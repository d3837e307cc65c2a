// Oxygen-toxicity K-value plan: K.
//
// From the K sums of the dive so far: the fraction of each K limit used, and
// how long the diver could still breathe a target oxygen partial pressure
// before (sum + t x x^n)^2 reaches the limit.
#pragma once

#include <array>
#include <optional>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// K max of 1, 2, 4 and 6 % CNS risk, and of -2 % and -10 % vital capacity.
constexpr std::array<double, 4> K_MAX_CNS = {26108, 58571, 196811, 432700};
constexpr std::array<double, 2> K_MAX_POT = {244, 1220};
// The exponents of the partial pressure in a K sum and in its square.
constexpr quad CNS_EXPONENT = 3.4Q, CNS_EXPONENT_SQUARED = 6.8Q;
constexpr quad POT_EXPONENT = 2.285Q, POT_EXPONENT_SQUARED = 4.57Q;

// The time at x (atm) until the square of the sum reaches K max: the larger
// root of the quadratic, or nothing when it has no real root.
std::optional<double> time_to_k_limit(double sum, double Kmax, double x, quad exponent, quad exponent_squared);

void k_value_plan(DiveState& st, Platform& p);

}  // namespace orva
