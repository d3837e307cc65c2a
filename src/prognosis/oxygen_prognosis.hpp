// The oxygen-corrected prognosis: OC at depth.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "prognosis/stop_gases.hpp"

namespace orva {

// The gases of the oxygen-corrected decompression by stop depth: the current
// gas at 9 m and deeper, pure oxygen (no inert gas at all) at 6 m and 3 m.
inline constexpr std::array<GasBand, 2> OXYGEN_STOP_GASES = {{
    {9, true, 0.0, ""},
    {0, false, 0.0, "(100 O2)"},
}};

void oxygen_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
