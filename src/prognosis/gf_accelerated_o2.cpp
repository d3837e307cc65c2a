#include "prognosis/gf_accelerated_o2.hpp"

#include "model/kernel.hpp"
#include "platform/quad.hpp"
#include "prognosis/accelerated_gf.hpp"
#include "prognosis/corrected_accelerated.hpp"

namespace orva {

namespace {

// The weights of the nitrogen and the helium tension in the first-stop
// ceilings (the other fixed correction is STOP_TIME_STRETCH).
constexpr quad CEILING_WEIGHT_N2 = 1.5Q;
constexpr quad CEILING_WEIGHT_HE = 2.0Q;

// The gradient-factor prognosis on the 5-m grid with the corrected gases.
class GfAcceleratedO2 final : public AcceleratedGradientFactorPrognosis {
 public:
  GfAcceleratedO2() : AcceleratedGradientFactorPrognosis(5, CORRECTED_GASES, "F5.2", "F7.2") {}

  // The weighted tension 1.5 x PN2 + 2.0 x PHE in binary128; the stop times
  // start from the plain sums.
  double first_stop_ceiling(const Schedule& w, int i) override {
    const DiveState& st = w.st;
    double Pw = to_double(q(st.PN2[i]) * CEILING_WEIGHT_N2 + q(st.PHE[i]) * CEILING_WEIGHT_HE);
    double Ptol = tolerated_pressure(Pw, st.AMIX[i], st.BMIX[i], st.GFLO);
    return ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
  }

  double stop_minutes(const Schedule& w) override { return stretched_stop_minutes(w.T); }
};

}  // namespace

double stretched_stop_minutes(double T) {
  std::int64_t whole = saturating_int64(q(T) * STOP_TIME_STRETCH);
  return to_double(static_cast<quad>(whole) + 1.0Q);
}

void gf_accelerated_o2_prognosis(DiveState& st, Platform& p) {
  GfAcceleratedO2 gf;
  run_schedule(gf, st, p);
}

}  // namespace orva
