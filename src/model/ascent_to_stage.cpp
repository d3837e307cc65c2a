#include "model/ascent_to_stage.hpp"

#include "model/compartment_status.hpp"
#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"
#include "platform/console.hpp"
#include "platform/quad.hpp"

namespace orva {

namespace {

// The deep-stop proposals, printed only while the diver is at least 12 m
// below the deepest ceiling C.
void deep_stop_proposals(const DiveState& st, Platform& p, double C) {
  quad midpoint = q(C + st.DEPTH) / 2.0Q;
  if (!(midpoint >= q(C) + 6.0Q)) return;

  // Haldane 2:1: half the absolute pressure of the depth, 10 m per bar.
  quad H = ((q(st.DEPTH) / 10.0Q + 1.0Q) / 2.0Q - 1.0Q) * 10.0Q;
  write(p, R"(" ", "Vorschlag Haldane 2:1 [m] = ", F6.2)", {H});

  write(p, R"(" ", "Vorschlag Hills, B. A.: DEEP STOP [m] = ", I5)", {saturating_int64(midpoint)});

  // The depth where the inspired pressure equals the tension of a compartment
  // of half-time tau that started at 0.8 bar and has been at DEPTH since the
  // dive began.
  if (q(st.FN2) > 0.0Q) {
    quad Q = (q(st.DEPTH) + 10.0Q) - 8.0Q / q(st.FN2);
    const char* lines[] = {R"(" ", "PDIS fuer TAU = 10 min: ", F6.2, " [m]")",
                           R"(" ", "PDIS fuer TAU = 20 min: ", F6.2, " [m]")",
                           R"(" ", "PDIS fuer TAU = 30 min: ", F6.2, " [m]")"};
    const quad taus[] = {10.0Q, 20.0Q, 30.0Q};
    for (int n = 0; n < 3; ++n) {
      double PDIS = to_double(q(st.DEPTH) - qpow(2.0Q, -(q(st.DIVETIME) / taus[n])) * Q);
      write(p, lines[n], {PDIS});
    }
  }
  // The same for helium with the mixed half-times of compartments 6 to 8.
  if (q(st.FHE) > 0.0Q) {
    quad Q = (q(st.DEPTH) + 10.0Q) - 7.9Q / (1.0Q - q(st.FO2));
    for (int i = 6; i <= 8; ++i) {
      double k = mixture_coefficients(st, i).k;
      double tau = to_double(LN2 / q(k));
      double exponent = -(st.DIVETIME / tau);
      double PDIS = to_double(q(st.DEPTH) - qpow(2.0Q, q(exponent)) * Q);
      write(p, R"(" ", "PDIS fuer TAU = ", F6.2, " min: ", F6.2, " [m]")", {tau, PDIS});
    }
  }
}

}  // namespace

void ascent_to_stage(DiveState& st, Platform& p) {
  double C = 0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i)
    if (st.CEILM[i] > C) C = st.CEILM[i];
  write(p, R"(" ", "maximale Ceiling: ", F6.2)", {C});

  deep_stop_proposals(st, p, C);

  double S = ask_value(p, R"(" ", "Eingabe der Austauchstufe in Metern & cm:(m.cm): ", $)", 4, 1);
  if (S >= st.DEPTH) {
    write(p, R"(" ", "Stufe zu niedrig, zum abtauchen ""D"" benutzen!")");
    return;
  }
  if (S < C) {
    write(p, R"(" ", "          ", "Austauchstufe ist zu hoch: ")");
    write(p, R"(" ", "          ", "niedriger wie Ceiling waehlen!")");
    return;
  }

  double RG = pressure_per_metre(st.RHO, st.GRAV);
  double t = (st.DEPTH - S) / st.ASCRATE;
  double P0 = ambient_pressure(st, st.DEPTH);
  st.TIME = t;
  st.DIVETIME = st.DIVETIME + t;
  st.DEPTH = S;

  // The exposure of the ascent is charged before the compartments move.
  oxygen_exposure_step(st, p, 'A');

  // The compartments follow the inspired pressures from the depth the ascent
  // started at, falling linearly at ASCRATE.
  quad CO2 = alveolar_co2_term(st.RQ);
  double Pi0N2 = inspired_inert_pressure(P0, CO2, st.FN2);
  double Pi0He = inspired_inert_pressure(P0, CO2, st.FHE);
  st.PIHE = Pi0He;
  double R_N2 = -(st.FN2 * (RG * st.ASCRATE));
  double R_He = -((RG * st.ASCRATE) * st.FHE);

  write(p, R"(" ", " Austauchstufe: ", F6.2, "  Aufstiegszeit: ", F8.1, "  P insp N2: ", F6.3, "  P insp He: ", F6.3)",
        {S, t, Pi0N2, Pi0He});

  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = schreiner_update(st.PN2[i], Pi0N2, R_N2, st.KN2[i], t);
    st.PHE[i] = schreiner_update(st.PHE[i], Pi0He, R_He, st.KHE[i], t);
    update_compartment_status(st, i);
    write_compartment_line(st, p, i, CompartmentLayout::Ascent);
  }
}

}  // namespace orva
