#include "prognosis/desaturation.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "prognosis/ndl.hpp"

namespace orva {
namespace {

constexpr double DESATURATION_TARGET = 0.8;  // bar
constexpr double FLYING_PRESSURE = 0.58;     // bar, ambient
// The time of a compartment that never reaches its target at the surface.
constexpr double NEVER = 99.99;

// The minutes until a compartment of tension P, off-gassing towards Pi, falls
// to `target`. A target at or below Pi is never reached: with a gas poor in
// oxygen or a high air pressure the compartment levels out above it.
double time_to_target(double P, double Pi, double target, double k) {
  if (!(target > Pi)) return NEVER;
  return time_to_limit(P, Pi, target, k);
}

}  // namespace

ShownTime shown_time(double minutes) {
  if (q(minutes) <= 0.0Q) return {0.0, " -- "};
  if (q(minutes) > 120.0Q) return {to_double(q(minutes) / 60.0Q), "  h."};
  return {minutes, "min."};
}

void desaturation_and_fly_times(DiveState& st, Platform& p) {
  if (q(st.DEPTH) != 0.0Q) {
    write(p, R"("   Zuerst ganz austauchen!")");
    return;
  }
  double Pi = inspired_gas_pressure(st, st.PAIR);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    double P = st.PHE[i] + st.PN2[i];
    MixedCoefficients m = store_mixture(st, i);
    double td = NEVER, tf = NEVER;
    if (P > Pi) {
      td = time_to_target(P, Pi, DESATURATION_TARGET, m.k);
      tf = time_to_target(P, Pi, m_value(FLYING_PRESSURE, m.a, m.b), m.k);
    }
    ShownTime d = shown_time(td), f = shown_time(tf);
    write(p, R"(" I:", I2, "  Entsaettigungszeit:", F8.2, " ", A4, "       Zeit bis Flug:", F8.2, " ", A4)",
          {i, d.value, d.unit, f.value, f.unit});
  }
}

}  // namespace orva
