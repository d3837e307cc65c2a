#include "prognosis/pmrc_prognosis.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "prognosis/engine.hpp"

namespace orva {

namespace {

// The engine without an ascent to the first stop, with the mixture of the
// start tensions kept for the whole schedule, without the LASTSTOP rule (every
// schedule ends with the 3-m stop) and without DEEPSTOP. The first stop comes
// from ceilings of the raised tensions, the stop times from the unraised
// working sums against the lowered M-values: the two factors of a compartment
// never meet in one formula.
class PmrcPrognosis final : public Prognosis {
 public:
  PmrcPrognosis()
      : Prognosis({.writes_deepstop = false,
                   .ascent_to_first_stop = false,
                   .mixture = Mixture::once_stored,
                   .laststop_rule = false}) {}

  void heading(Schedule& w) override { write(w.p, R"(" ", " Deko Prognose nach PMRC: ")"); }

  // (f(i) x PSUMW(i) - AMIX(i)) x BMIX(i) as the ceiling's tolerated pressure,
  // neither clamped nor stored.
  double first_stop_ceiling(const Schedule& w, int i) override {
    const DiveState& st = w.st;
    double P = w.PSUMW[i];
    if (i <= PMRC_FACTORED) P = PMRC_CEILING_FACTOR[i] * P;
    double Ptol = tolerated_pressure(P, st.AMIX[i], st.BMIX[i]);
    return ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
  }

  // (Pnext / BMIX(i) + AMIX(i)) x g(i).
  double stop_m_value(const Schedule& w, int i) override {
    double M = Prognosis::stop_m_value(w, i);
    if (i <= PMRC_FACTORED) M = M * PMRC_M_VALUE_FACTOR[i];
    return M;
  }

  double stop_minutes(const Schedule& w) override { return whole_minutes_plus_one(w.T); }

  void stop_line(Schedule& w) override {
    write(w.p, R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit (PMRC):", F6.2)", {w.printed_depth, w.Tr});
  }

  void time_to_surface_line(Schedule& w) override {
    write(w.p, R"(" ", "TTS = ", F7.2)", {time_to_surface(w.SUM, w.st.DEPTH, w.st.ASCRATE)});
  }
};

}  // namespace

void pmrc_deco_prognosis(DiveState& st, Platform& p) {
  PmrcPrognosis pmrc;
  run_schedule(pmrc, st, p);
}

}  // namespace orva
