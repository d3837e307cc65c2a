// The accelerated decompression prognosis: AD.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "prognosis/stop_gases.hpp"

namespace orva {

// The gases of the accelerated decompression by stop depth: the bottom gas at
// 24 m and deeper, nitrogen 0.5 from 21 m to 9 m (the stops labelled EAN 75
// breathe the same 0.5 as those labelled EAN 50), nitrogen 0.02 at 6 m and 3 m;
// no helium from 21 m up.
inline constexpr std::array<GasBand, 4> ACCELERATED_GASES = {{
    {24, true, 0.0, ""},
    {18, false, 0.5, "(EAN 50)"},
    {9, false, 0.5, "(EAN 75)"},
    {0, false, 0.02, "(100 O2)"},
}};

void accelerated_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
