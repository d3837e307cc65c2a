// DCIEM deco stress indices: DS.
//
// From the pressure-root-time sum PRT of the dive and the total ascent time
// TAT: the index (PRT - 12) x gas factor / T^0.3 for air, oxygen-enriched air
// or oxygen and trimix at 50, 100, 150 and 200 % of TAT.
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// Below this PRT the command is silent.
constexpr quad DCIEM_PRT_THRESHOLD = 13.0Q;
constexpr double DCIEM_OFFSET = 12.0;
constexpr double DCIEM_EXPONENT = 0.3;
// Air, EAN/O2, trimix.
constexpr std::array<double, 3> DCIEM_GAS_FACTORS = {1.0, 0.8, 0.3};
constexpr std::array<quad, 4> DCIEM_TAT_MULTIPLES = {0.5Q, 1.0Q, 1.5Q, 2.0Q};

struct DciemRow {
  double T;
  std::array<double, 3> I;  // air, EAN/O2, trimix
};
// The four rows for a total ascent time TAT.
std::array<DciemRow, 4> dciem_rows(double PRT, double TAT);

// The ascent from the deepest point plus one minute, plus the typed stop
// minutes tts (none when 0).
double total_ascent_time(const DiveState& st, double tts);

void dciem_stress_indices(DiveState& st, Platform& p);

}  // namespace orva
