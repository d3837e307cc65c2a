#include "model/depth_time_segment.hpp"

#include "model/compartment_status.hpp"
#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"
#include "platform/console.hpp"

namespace orva {
namespace {

// A segment is a depth of 0 m or more held for 0 min or more: a negative
// answer to either question is asked again, like a malformed one.
bool not_negative(double v) { return q(v) >= 0.0Q; }

}  // namespace

void depth_time_segment(DiveState& st, Platform& p) {
  // F5.1: 30 typed without a point is 3.0 m.
  st.DEPTH = ask_value(p, R"(" ", "Eingabe der TAUCHTIEFE in Metern & cm:(m.cm): ", $)", 5, 1, not_negative);

  // A dive begins with the first segment after MAXDEPTH was left at 0.
  if (q(st.MAXDEPTH) == 0.0Q) {
    st.DIVETIME = 0.0;
    st.MAXDEPTH = st.DEPTH;
  } else if (st.DEPTH > st.MAXDEPTH) {
    st.MAXDEPTH = st.DEPTH;
  }

  st.TIME = ask_value(p, R"(" ", "Eingabe der TAUCHZEIT in Minuten (min.):", $)", 7, 1, not_negative);
  st.DIVETIME = st.DIVETIME + st.TIME;

  oxygen_exposure_step(st, p, 'D');
}

void segment_saturation(DiveState& st, Platform& p) {
  const double Pamb = ambient_pressure(st, st.DEPTH);
  const quad C = alveolar_co2_term(st.RQ);
  double PiN2 = inspired_inert_pressure(Pamb, C, st.FN2);
  double PiHe = inspired_inert_pressure(Pamb, C, st.FHE);
  st.PIHE = PiHe;

  // The status lines show the plain pressures, also with the depth surcharge.
  write(p, R"(" ", " P amb: ", F6.3, " P insp N2: ", F6.3, " P insp He: ", F6.3)", {Pamb, PiN2, PiHe});
  write(p,
        R"(" ", " maximale Tiefe= ", F5.1, " m", "   gesamte Tauchzeit= ", F8.1, " ", /, "  aktuelle Tiefe: ", F5.1, " m", "   aktuelle Zeit: ", "    ", F8.1)",
        {st.MAXDEPTH, st.DIVETIME, st.DEPTH, st.TIME});
  write(p, R"(" ", 1X, "- - - - - - - - - - - - - - - - - - - - - - - -")");

  // With the surcharge the compartments load at 1.03 x depth + 1 m.
  if (st.BZFLAG == "Y") {
    const double Pamb_surcharged = ambient_pressure(st, st.DEPTH, st.BZFLAG);
    PiN2 = inspired_inert_pressure(Pamb_surcharged, C, st.FN2);
    PiHe = inspired_inert_pressure(Pamb_surcharged, C, st.FHE);
    st.PIHE = PiHe;
  }

  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = haldane_update(st.PN2[i], PiN2, st.KN2[i], st.TIME);
    st.PHE[i] = haldane_update(st.PHE[i], PiHe, st.KHE[i], st.TIME);
    update_compartment_status(st, i);
    write_compartment_line(st, p, i, CompartmentLayout::Segment);
  }
}

}  // namespace orva
