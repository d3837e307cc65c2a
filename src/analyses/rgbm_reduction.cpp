#include "analyses/rgbm_reduction.hpp"

#include <cmath>

#include "platform/console.hpp"

namespace orva {

namespace {

int surface_interval(int row) { return 15 * (row + 1); }

}  // namespace

RgbmMatrix rgbm_matrix(double MAXDEPTH, int N) {
  RgbmMatrix m{};
  // The ambient pressure in bar at 10 m per bar.
  const double P = to_double(q(MAXDEPTH / 10.0) + 1.0Q);
  m.CHI3 = to_double(0.3Q * qexp(-(q(N) / 12.0Q)) + 0.7Q);

  std::array<quad, RGBM_COLUMNS> g{};
  for (int k = 0; k < RGBM_COLUMNS; ++k) {
    const double x = 0.5 * k;  // the depth step in bar
    const double e = std::exp(-(x / P));
    g[k] = 0.45Q * (1.0Q - q(e));
  }

  for (int row = 0; row < RGBM_ROWS; ++row) {
    const quad SI = q(surface_interval(row));
    const double CHI1 = to_double(1.0Q - 0.45Q * qexp(-(((SI - 30.0Q) * (SI - 30.0Q)) / 900.0Q)));
    const quad E = qexp(-(((SI - 60.0Q) * (SI - 60.0Q)) / 3600.0Q));
    for (int k = 0; k < RGBM_COLUMNS; ++k) {
      const double CHI2 = to_double(1.0Q - g[k] * E);
      m.cell[row][k] = (CHI2 * CHI1) * m.CHI3;
    }
  }
  return m;
}

void rgbm_reduction_factors(DiveState& st, Platform& p) {
  write(p, R"("  ... der wievielte TG des Tages soll simuliert werden?  ")");
  const auto N = ask_integer(p, R"(" als einfache Zahl, N = 1 ... 12 ", I2)", 2,
                             [](std::int64_t n) { return n >= 1 && n <= 12; });
  const RgbmMatrix m = rgbm_matrix(st.MAXDEPTH, static_cast<int>(N));

  // The last field, F6.2, has no value: the line ends after the three blanks.
  write(p, R"("  Tauchgang Nummer: ", I2, " reduction factor CHI 3 = ", F5.3, 3X, F6.2)", {N, m.CHI3});
  write(p, R"("  Matrix der bubble factors (GF) = CHI1*CHI2*CHI3:")");
  write(p,
        R"("Delta P (in [m])  0m,   5m,   10m,  15m,  20m,  25m,  30m,  35m,  40m,  45m,  50m,  55m,  60m")");
  for (int row = 0; row < RGBM_ROWS; ++row) {
    write(p, R"("  SI= ", I3, "[min] ", $)", {surface_interval(row)});
    for (int k = 0; k < RGBM_COLUMNS; ++k) write(p, R"(" ", F5.3, $)", {m.cell[row][k]});
    write(p, R"(" ")");
  }
}

}  // namespace orva
