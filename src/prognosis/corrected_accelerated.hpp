// The corrected accelerated prognosis: TBM.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "prognosis/stop_gases.hpp"

namespace orva {

// The gases of the corrected accelerated decompression by stop depth: the
// bottom gas at 15 m and deeper, nitrogen 0.3 without helium at 10 m and 5 m.
inline constexpr std::array<GasBand, 2> CORRECTED_GASES = {{
    {15, true, 0.0, ""},
    {0, false, 0.3, "(100 O2)"},
}};

// The three correction factors, asked at every call and kept nowhere.
struct CorrectionFactors {
  double AAFAKTOR;  // every time to limit is multiplied by it
  double NEDU_N2;   // weight of the nitrogen tension in the start sum
  double NEDU_HE;   // weight of the helium tension in the start sum
};

// The three questions; each accepts 1.1 to 3.0 whatever its range line shows.
CorrectionFactors ask_correction_factors(Platform& p);

// The two schedules with the factors already asked.
void corrected_accelerated_schedules(DiveState& st, Platform& p, const CorrectionFactors& f);

void corrected_accelerated_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
