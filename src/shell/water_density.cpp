#include "shell/water_density.hpp"

#include "platform/quad.hpp"

namespace orva {

KellDensity::KellDensity(double density_at_20) {
  // Pure water of the Kell equation has 998.203 kg/m3 at 20 degrees Celsius.
  const double S = to_double(q(density_at_20) - 998.203Q);
  C0_ = S + 999.83952;
}

double KellDensity::density(double T) const {
  // The powers by repeated multiplication, as an integer power is formed.
  const double T2 = T * T;
  const double T3 = T2 * T;
  const double T4 = T2 * T2;
  const double T5 = T4 * T;
  const double N = ((((16.952577 * T + C0_) + T2 * (-0.0079905127)) + T3 * (-4.6241757e-5)) + T4 * (1.0584601e-7)) +
                   T5 * (-2.8103006e-10);
  const quad D = q(0.0168872 * T) + 1.0Q;
  const double rhoK = to_double(q(N) / D);
  // Dissolved air.
  return to_double((q(rhoK) - 0.004612Q) + 0.000106Q * q(T));
}

}  // namespace orva
