#include "prognosis/vgm_prognosis.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "prognosis/engine.hpp"
#include "prognosis/gf_prognosis.hpp"

namespace orva {

namespace {

// The engine with a factor line per compartment: KMIX and the mixed factor
// pairs once from the DiveState tensions, AMIX and BMIX as the prognosis
// before left them, own first-stop ceilings with each compartment's low
// factor, the M-values in the gradient-factor form with the factor of the
// stop, the minutes trunc(T) + 1 and no time to surface.
class VgmPrognosis final : public Prognosis {
 public:
  VgmPrognosis() : Prognosis({.mixture = Mixture::shared}) {}

  void heading(Schedule& w) override {
    write(w.p, R"(" ", " GF FLAG: ", A1, "   Deko Prognose nach VGM: ")", {w.st.GFFLAG});
  }

  void working_copies(Schedule& w) override {
    const DiveState& st = w.st;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      GFHI_MIX[i] = tension_weighted(st.GFHI_HE[i], st.PHE[i], st.GFHI_N2[i], st.PN2[i]);
      GFLO_MIX[i] = tension_weighted(st.GFLO_HE[i], st.PHE[i], st.GFLO_N2[i], st.PN2[i]);
    }
  }

  double first_stop_ceiling(const Schedule& w, int i) override {
    const DiveState& st = w.st;
    double Ptol = tolerated_pressure(w.PSUMW[i], st.AMIX[i], st.BMIX[i], GFLO_MIX[i]);
    return ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
  }

  // Evaluated at every stop, whatever the mode letter.
  void stop_start(Schedule& w) override {
    for (int i = 1; i <= COMPARTMENTS; ++i) GF_STOP[i] = gf_line(GFHI_MIX[i], GFLO_MIX[i], w.st.DEEPSTOP, w.s);
  }

  double stop_m_value(const Schedule& w, int i) override {
    return m_value(w.Pnext, w.st.AMIX[i], w.st.BMIX[i], GF_STOP[i]);
  }

  double stop_minutes(const Schedule& w) override { return whole_minutes_plus_one(w.T); }

  // A stop at which no compartment has led yet shows the number
  // NO_LEADING_COMPARTMENT with the factors 0.00 of that unused slot.
  void stop_line(Schedule& w) override {
    int k = w.lead;
    write(w.p,
          R"(" ", I2, "m Stopp", " ", "Prognose VGM Deko: ", F8.1, " ", " Komp..:", I2, " GFHI: ", F5.2, " GFLO: ", F5.2, " GF = ", F5.2)",
          {w.printed_depth, w.Tr, k, GFHI_MIX[k], GFLO_MIX[k], GF_STOP[k]});
  }

  void time_to_surface_line(Schedule&) override {}

 private:
  // Element NO_LEADING_COMPARTMENT (0) stays 0.
  Comp GFHI_MIX{}, GFLO_MIX{}, GF_STOP{};
};

static_assert(NO_LEADING_COMPARTMENT == 0, "the stop line reads the factors of the unused slot 0");

}  // namespace

void vgm_deco_prognosis(DiveState& st, Platform& p) {
  VgmPrognosis vgm;
  run_schedule(vgm, st, p);
}

}  // namespace orva
