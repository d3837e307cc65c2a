// RGBM reduction-factor matrix: RS.
//
// The bubble factor of a repetitive dive as CHI1 (surface interval) x CHI2
// (depth step of the next dive) x CHI3 (number of the dive of the day).
#pragma once

#include <array>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

constexpr int RGBM_ROWS = 7;     // surface intervals 15, 30, ..., 105 min
constexpr int RGBM_COLUMNS = 13;  // depth steps 0, 5, ..., 60 m

struct RgbmMatrix {
  double CHI3;
  std::array<std::array<double, RGBM_COLUMNS>, RGBM_ROWS> cell;
};
// N is the number of the dive of the day, 1 to 12.
RgbmMatrix rgbm_matrix(double MAXDEPTH, int N);

void rgbm_reduction_factors(DiveState& st, Platform& p);

}  // namespace orva
