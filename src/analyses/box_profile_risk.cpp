#include "analyses/box_profile_risk.hpp"

#include <cmath>

#include "analyses/probability_lines.hpp"
#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

const std::array<NmriParameters, 3> NMRI_BOX_PROFILE = {{
    {6.17, 0.11234152035007218, 260, 0.002665950694461328, 0.15411417, 0.00316, 0.00763},
    {4.27, 0.1623295504824228, 221, 0.0031364125817192096, 0.10202787, 0.00196, 0.00463},
    // The upper threshold is 0.15411417 + 0.0520863 as first stored: one unit
    // in the last place above the double nearest 0.20620047.
    {8.07, 0.08589184393555703, 299, 0.0023182179951837635, 0.20620047000000002, 0.00436, 0.01063},
}};

const std::array<NoStopParameters, 3> P_NO_STOP = {{
    {0.032453, 0.001651, 0.06863, 2.760433, -8.837279},  // NEDU TR 04-42
    {0.027328, 0.001469, 0.059968, 2.380892, -9.219888},
    {0.037605, 0.001833, 0.077292, 3.139974, -8.45467},
}};

BoxProfileRisk box_profile_risk(const DiveState& st) {
  BoxProfileRisk r{};
  const double T = st.DIVETIME;
  const double Pamb = ambient_pressure(st, st.MAXDEPTH);
  const double F = st.FN2 + st.FHE;  // helium counts as inert gas with nitrogen
  const double Pi = inspired_inert_pressure(Pamb, st.RQ, F);
  const double P0 = F * st.PAIR;
  // The exposure of the NMRI model includes the ascent from the bottom.
  const double Tt = st.MAXDEPTH / st.ASCRATE + T;

  for (size_t s = 0; s < NMRI_BOX_PROFILE.size(); ++s) {
    const NmriParameters& m = NMRI_BOX_PROFILE[s];
    double P1 = haldane_update(P0, Pi, m.k1, T);
    double P2 = haldane_update(P0, Pi, m.k2, T);
    double rate = (((P1 - st.PAIR) - m.threshold) / st.PAIR) * m.a1 + (((P2 - st.PAIR) - m.threshold) / st.PAIR) * m.a2;
    r.nmri[s] = to_double(1.0Q - q(std::exp(-(rate * Tt))));
  }

  const double J = pressure_in_fsw(Pamb);
  for (size_t s = 0; s < P_NO_STOP.size(); ++s) {
    const NoStopParameters& m = P_NO_STOP[s];
    double e1 = std::exp(-(m.r1 * T));
    double e2 = std::exp(-(m.r2 * T));
    double z = (m.factor * J) * ((1.0 - e1) + (1.0 - e2) * m.weight) + m.intercept;
    r.no_stop[s] = 1.0 / (1.0 + std::exp(-z));
  }
  return r;
}

namespace {

constexpr const char* NMRI_TEXTS[3] = {"  Stat. Tables I M4   NMRI BOX PROFILE AIR:   ",
                                       "  untere Fehlergrenze NMRI BOX PROFILE AIR:   ",
                                       "  obere Fehlergrenze  NMRI BOX PROFILE AIR:   "};
constexpr const char* NO_STOP_TEXTS[3] = {"  P-NO-STOP Model: NEDU TR 04-42,             ",
                                          "  P-NO-STOP Model: untere Fehlergrenze,       ",
                                          "  P-NO-STOP Model: obere Fehlergrenze,        "};
constexpr const char* STARS_63 = R"("  *************************************************************")";

}  // namespace

void box_profile_air_risk(DiveState& st, Platform& p) {
  const BoxProfileRisk r = box_profile_risk(st);
  write_probabilities(p, NMRI_TEXTS, r.nmri);
  write(p, STARS_63);
  write(p, R"("")");
  write_probabilities(p, NO_STOP_TEXTS, r.no_stop);
  write(p, STARS_63);
}

}  // namespace orva
