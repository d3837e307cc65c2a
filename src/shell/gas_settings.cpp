#include "shell/gas_settings.hpp"

#include <cmath>

#include "platform/console.hpp"

namespace orva {
namespace {

void write_mix(Platform& p, const DiveState& st) {
  write(p, R"(" ", "fO2: ", F6.3, " fHe: ", F6.3, " fN2: ", F6.3)", {st.FO2, st.FHE, st.FN2});
}

// The isobaric counterdiffusion warning after a gas switch: only when the
// helium fraction changed, graded by the change of the nitrogen fraction.
void write_icd_warning(Platform& p, double delta_n2, double delta_he) {
  if (!(q(delta_he) > 0.0Q)) return;
  if (q(delta_n2) >= 0.66Q)
    write(p, R"(" ", " ICD Warning, Level III !!!")");
  else if (q(delta_n2) >= 0.5Q)
    write(p, R"(" ", " ICD Warning, Level II !!")");
  else if (q(delta_n2) >= 0.22Q)
    write(p, R"(" ", " ICD Warning, Level I !")");
}

bool accepted_o2_fraction(double v) { return q(v) > 0.0Q && q(v) <= 1.0Q; }
bool accepted_he_fraction(double v, double FO2) {
  return q(v) >= 0.0Q && q(v) <= 1.0Q && leaves_room_for_nitrogen(FO2, v);
}
bool accepted_amv(double v) { return q(v) >= 0.5Q && q(v) < 99.0Q; }
bool accepted_rq(double v) { return within(v, 0.3Q, 2.0Q); }

}  // namespace

bool leaves_room_for_nitrogen(double FO2, double FHE) { return !(q(FHE + FO2) > 1.00001Q); }

void set_gas_mix(DiveState& st, Platform& p) {
  const double old_FN2 = st.FN2;
  const double old_FHE = st.FHE;

  write(p, R"(" ", " aktuelles Gemisch:")");
  write_mix(p, st);

  write(p, R"(" ", "Eingabe des Sauerstoff-Anteils, fO2:")");
  st.FO2 = ask_value(p, R"f(" ", "als Dezimalzahl (Bsp.: 40 Vol.% O2 = 0.4)", $)f", 6, 3, accepted_o2_fraction);

  write(p, R"(" ", "Eingabe des Helium-Anteils, fHe:")");
  const double FO2 = st.FO2;
  st.FHE = ask_value(p, R"f(" ", "als Dezimalzahl (Bsp.: 35 Vol.% HELIUM = 0.35)", $)f", 6, 3,
                     [FO2](double v) { return accepted_he_fraction(v, FO2); });

  // Within the tolerance of the sum this may come out a little below 0.
  st.FN2 = to_double((1.0Q - q(st.FO2)) - q(st.FHE));
  write_mix(p, st);

  const double delta_n2 = std::fabs(st.FN2 - old_FN2);
  const double delta_he = std::fabs(st.FHE - old_FHE);
  write(p, R"(" ", "Delta Fraction N2= ", F6.3, " Delta F. HE= ", F6.3)", {delta_n2, delta_he});
  write_icd_warning(p, delta_n2, delta_he);
}

void set_amv(DiveState& st, Platform& p) {
  write(p, R"(" ", "Eingabe des Oberflaechen-Atemminutenvolumen")");
  st.AMV = ask_value(p, R"f(" ", "in Litern / Minute (sonst 25 L / min.)", $)f", 3, 0, accepted_amv);
}

void set_rq(DiveState& st, Platform& p) {
  st.RQ = ask_value(p, R"(" ", "als Dezimalzahl (Bsp.: 80 % = 0.8)\")", 7, 4, accepted_rq);
}

// Rule-of-thumb values for head arithmetic: 0.1 bar per metre, 1 bar at the
// surface. The helium fraction is left as it is.
void ball_park_values(DiveState& st, Platform&) {
  st.FN2 = 0.8;
  st.FO2 = 0.2;
  st.AMV = 20.0;
  st.PAIR = 1.0;
  st.ASCRATE = 10.0;
  st.RHO = 1000.0;
  st.GRAV = 10.0;
}

}  // namespace orva
