// The PMRC prognosis: a schedule more conservative in the nine fastest
// compartments.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// The compartments 1 to PMRC_FACTORED carry the two factors; the slower ones
// are computed as in the plain model (no product at all, not a product by 1).
constexpr int PMRC_FACTORED = 9;

// Ceiling factors f(i): the tension of compartment i is raised by f(i) where
// the first stop is chosen.
constexpr std::array<double, PMRC_FACTORED + 1> PMRC_CEILING_FACTOR = {
    0.0, 1.3, 1.28, 1.26, 1.24, 1.2, 1.15, 1.1, 1.05, 1.01};
// M-value factors g(i): the M-value of compartment i is lowered by g(i) where
// the stop times are computed. f(i) + g(i) = 2 in every row.
constexpr std::array<double, PMRC_FACTORED + 1> PMRC_M_VALUE_FACTOR = {
    0.0, 0.7, 0.72, 0.74, 0.76, 0.8, 0.85, 0.9, 0.95, 0.99};

void pmrc_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
