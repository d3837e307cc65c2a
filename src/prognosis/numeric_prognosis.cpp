#include "prognosis/numeric_prognosis.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "prognosis/engine.hpp"

namespace orva {

std::int64_t numeric_step_count(double h) { return saturating_int64(to_double(600.0Q / q(h))); }

StepSearch step_search(double P0N2, double P0He, double PiN2, double PiHe, double KN2, double KHE, double AN2,
                       double AHE, double BN2, double BHE, quad Pnext, double h, std::int64_t N) {
  StepSearch r{0.0, 0, 0.0, 0.0};
  for (std::int64_t j = 1; j <= N; ++j) {
    // The time by repeated addition; the tensions from the start tensions by
    // the shared update (its products k x t and factors commute with the
    // order of the search, so the bits are the same).
    r.t = r.t + h;
    double pN2 = haldane_update(P0N2, PiN2, KN2, r.t);
    double pHe = haldane_update(P0He, PiHe, KHE, r.t);
    MixedCoefficients mix = mixture_coefficients(pN2, pHe, AN2, AHE, BN2, BHE, KN2, KHE);
    r.a = mix.a;
    r.b = mix.b;
    double Ptol = tolerated_pressure(pN2 + pHe, r.a, r.b);
    if (Pnext - q(Ptol) > 0.0Q) {
      r.steps = j;
      break;
    }
  }
  return r;
}

namespace {

// The engine with the step search in place of the time to limit: the first
// stop from the shared ceilings, the ascent to it, the LASTSTOP rule for the
// loop end and the printed depth (not for the target), the minutes with the
// allowance for the 3-m move, and two times to surface.
class NumericPrognosis final : public Prognosis {
 public:
  NumericPrognosis() : Prognosis({}) {}

  // The processor time is read before the heading; the step size is asked
  // after it.
  void heading(Schedule& w) override {
    cpu_start = w.p.clock_process_seconds();
    write(w.p, R"(" ", " Deko Prognose numerisch: ")");
    h = ask_value(w.p, R"(" ", " Schrittweite (default = 0.01)?", $)", 8, 6, [](double v) { return !(q(v) < 0.0Q); });
    if (q(h) == 0.0Q) {
      h = DEFAULT_STEP;
      N = DEFAULT_STEPS;
    } else {
      N = numeric_step_count(h);
    }
  }

  // The target lies 3 m above the stop, also at the last stop of the loop.
  void stop_start(Schedule& w) override { Pnext = q(w.Pamb) - static_cast<quad>(TARGET_RISE) * q(w.RG); }

  // Every compartment searched from the working tensions at the start of the
  // stop. The search tensions stay inside the search, so the stop update
  // starts from the start tensions.
  void compartment_limits(Schedule& w) override {
    DiveState& st = w.st;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      w.t[i] = 0.0;
      if (N <= 0) continue;
      StepSearch r = step_search(w.PN2W[i], w.PHEW[i], w.PiN2, w.PiHe, st.KN2[i], st.KHE[i], st.AN2[i], st.AHE[i],
                                 st.BN2[i], st.BHE[i], Pnext, h, N);
      st.AMIX[i] = r.a;
      st.BMIX[i] = r.b;
      w.t[i] = r.t;
      // A search without success keeps the count of the last one that succeeded.
      if (r.steps > 0) st.NUMSTEPS[i] = static_cast<double>(r.steps);
    }
  }

  double stop_minutes(const Schedule& w) override {
    SUMT = SUMT + w.T;
    return Prognosis::stop_minutes(w);
  }

  void stop_line(Schedule& w) override {
    write(w.p,
          R"(" ", I2, "m Stopp", " ", "APPROXIMATION : ", "  ", F6.2, " ", "Steps N= ", F12.1, " ", "Komp.#: ", I3)",
          {w.printed_depth, w.T, w.st.NUMSTEPS[w.lead], w.lead});
  }

  void time_to_surface_line(Schedule& w) override {
    const DiveState& st = w.st;
    write(w.p, R"(" ", "TTS          = ", F7.2)", {SUMT + st.DEPTH / st.ASCRATE});
    double rounded = to_double(q(time_to_surface(w.SUM, st.DEPTH, st.ASCRATE)) + 2.0Q);
    write(w.p, R"(" ", "TTS gerundet = ", F5.0)", {rounded});
    double cpu_end = w.p.clock_process_seconds();
    write(w.p, R"(" ", "CPU TIME used: ", F9.6)", {cpu_end - cpu_start});
  }

 private:
  double h = 0.0;
  std::int64_t N = 0;
  quad Pnext = 0.0Q;
  double SUMT = 0.0;
  double cpu_start = 0.0;
};

}  // namespace

void numeric_deco_prognosis(DiveState& st, Platform& p) {
  NumericPrognosis numeric;
  run_schedule(numeric, st, p);
}

}  // namespace orva
