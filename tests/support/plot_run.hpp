// Runs one plot handler on a given state with a chosen drawing surface.
#pragma once

#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "platform/console.hpp"
#include "platform/gfx.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva::testing {

using PlotHandler = void (*)(DiveState&, Platform&);

struct PlotRun {
  std::vector<std::string> notes;
  std::string output;  // what the text dialogue showed
  size_t unread = 0;
  bool ended_input = false;  // the pause met the end of input
};

// The typed lines answer the plot's pause.
inline PlotRun run_plot(PlotHandler plot, DiveState& st, Graphics& g, std::vector<std::string> typed = {""}) {
  TempHome home;
  FakePlatform p(std::move(typed), home.path());
  p.set_graphics(&g);
  PlotRun r;
  try {
    plot(st, p);
  } catch (const EndOfInput&) {
    r.ended_input = true;
  }
  r.notes = p.notes();
  r.output = p.output();
  r.unread = p.unread();
  return r;
}

// A trimix dive at 42.3 m: every header value distinct, CNS and PrT past their
// limits, tensions falling from the fast to the slow compartments.
inline DiveState trimix_dive_state() {
  static constexpr double PN2[16] = {3.912, 3.655, 3.401, 3.12, 2.874, 2.653, 2.41,  2.205,
                                     1.998, 1.85,  1.702, 1.544, 1.401, 1.265, 1.133, 1.02};
  static constexpr double PHE[16] = {2.615, 2.402, 2.105, 1.812, 1.5,  1.203, 0.955, 0.702,
                                     0.51,  0.36,  0.25,  0.17,  0.11, 0.07,  0.04,  0.02};
  static constexpr double TOL[16] = {3.5,  3.31, 3.02, 2.75, 2.41, 2.1,  1.8,  1.52,
                                     1.3,  1.12, 0.98, 0.85, 0.73, 0.62, 0.52, 0.44};
  DiveState st;
  one_time_startup(st);
  st.N2MATRIX = "ZH-L 16B  ";
  st.DEPTH = 42.3;
  st.TIME = 25.0;
  st.MAXDEPTH = 45.0;
  st.DIVETIME = 31.5;
  st.RHO = 1025.0;
  st.GRAV = 9.80665;
  st.PAIR = 1.013;
  st.TWATER = 12.5;
  st.FO2 = 0.18;
  st.FHE = 0.45;
  st.FN2 = 0.37;
  st.CNS = 103.4;
  st.OTU = 57.6;
  st.AMV = 22.0;
  st.RQ = 0.9;
  st.VO2 = 0.3;
  st.ASCRATE = 10.0;
  st.KCNS = 12345.6;
  st.KPOT = 678.4;
  st.ESOT = 14.25;
  st.PRT = 26.2;
  st.GFHI = 0.85;
  st.GFLO = 0.3;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = PN2[i - 1];
    st.PHE[i] = PHE[i - 1];
    st.PSUM[i] = st.PN2[i] + st.PHE[i];
    st.PAMBTOL[i] = TOL[i - 1];
    // The tension-weighted coefficients as a prognosis leaves them.
    double w = st.PN2[i] + st.PHE[i];
    st.AMIX[i] = (st.AN2[i] * st.PN2[i] + st.AHE[i] * st.PHE[i]) / w;
    st.BMIX[i] = (st.BN2[i] * st.PN2[i] + st.BHE[i] * st.PHE[i]) / w;
  }
  return st;
}

}  // namespace orva::testing
