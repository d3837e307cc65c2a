#include "model/deco_stop_pause.hpp"

#include "model/compartment_status.hpp"
#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"
#include "platform/console.hpp"
#include "platform/quad.hpp"

namespace orva {

namespace {

// The time shown for a compartment that still takes up gas at this depth.
constexpr double STILL_LOADING = 99.0;

// A pause is a stay of zero minutes or more; a negative answer is asked again.
bool pause_accepted(double minutes) { return minutes >= 0.0; }

}  // namespace

void deco_stop_pause(DiveState& st, Platform& p) {
  double Z = ask_value(p, R"(" ", "Eingabe der geplanten ZIEL-Dekostufe in Metern & cm:(m.cm):", $)", 4, 1);
  if (Z > st.DEPTH) {
    write(p, R"(" ", "  Dekostufe tiefer waehlen!")");
    return;
  }

  // At the surface, target 0 closes the dive: the next D starts a new one.
  if (q(st.DEPTH) == 0.0Q && q(Z) == 0.0Q) {
    st.DIVETIME = 0.0;
    st.MAXDEPTH = 0.0;
    st.TIME = 0.0;
  }

  double RG = pressure_per_metre(st.RHO, st.GRAV);
  double Pamb = ambient_pressure(st, st.DEPTH);
  quad CO2 = alveolar_co2_term(st.RQ);
  double PiN2 = inspired_inert_pressure(Pamb, CO2, st.FN2);
  double PiHe = inspired_inert_pressure(Pamb, CO2, st.FHE);
  st.PIHE = PiHe;
  double Pi = PiHe + PiN2;

  // How long each compartment must still stay here before the ascent to the
  // target stop is allowed, with the 3 m of the move at ASCRATE.
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    double P = st.PN2[i] + st.PHE[i];
    MixedCoefficients mix = mixture_coefficients(st, i);
    st.AMIX[i] = mix.a;
    st.BMIX[i] = mix.b;
    double t;
    if (P <= Pi) {
      t = STILL_LOADING;
    } else {
      double M = m_value(RG * Z + st.PAIR, st.AMIX[i], st.BMIX[i]);
      if (M <= Pi) {
        write(p, R"(" ", "Fehler: Dekostufe zu nahe an der Oberflaeche")");
        return;
      }
      t = time_to_limit(P, Pi, M, mix.k);
      if (q(t) < 0.0Q) t = 0.0;
    }
    if (q(t) != 0.0Q && q(t) != q(STILL_LOADING)) t = to_double(q(t) + 3.0Q / q(st.ASCRATE));
    write(p, R"(" ", "I:", I2, " TAU N2: ", F4.0, " TAU He: ", F4.0, " TAU Summe: ", F6.2, "  Dekozeit: ", F8.1)",
          {i, LN2 / q(st.KN2[i]), LN2 / q(st.KHE[i]), LN2 / q(mix.k), t});
  }

  st.TIME = ask_value(p, R"(" ", "Deko Pause: wie lange ? (min): ", $)", 4, 0, pause_accepted);
  if (q(st.TIME) == 0.0Q) return;

  st.DIVETIME = st.DIVETIME + st.TIME;
  oxygen_exposure_step(st, p, 'E');

  // The pause at the current depth; the tolerated pressures use the mixture
  // of the tensions before the pause.
  double T = st.TIME;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = haldane_update(st.PN2[i], PiN2, st.KN2[i], T);
    st.PHE[i] = haldane_update(st.PHE[i], st.PIHE, st.KHE[i], T);
    st.PSUM[i] = st.PN2[i] + st.PHE[i];
    store_tolerance(st, i);
  }
}

}  // namespace orva
