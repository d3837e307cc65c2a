#include "prognosis/asymmetric_prognosis.hpp"

#include "platform/console.hpp"
#include "platform/quad.hpp"
#include "prognosis/engine.hpp"

namespace orva {

Comp asymmetric_rate_constants(const Comp& K, double asymmetric_rate) {
  Comp out = K;
  for (int i = 1; i <= ASYMMETRIC_FAST_COMPARTMENTS; ++i) out[i] = asymmetric_rate;
  return out;
}

double asymmetric_time_to_surface(double SUM, double DEPTH) {
  std::int64_t D9 = saturating_int64(q(DEPTH) / static_cast<quad>(ASYMMETRIC_ASCENT_RATE));
  return SUM + static_cast<double>(D9);
}

namespace {

// The engine without the ascent to the first stop and without the LASTSTOP
// rule: every schedule runs down to the 3-m stop. The mixture is recomputed at
// every stop with the working rate constants, which also drive the stop
// updates; nothing tests whether a compartment takes up or gives off gas.
class AsymmetricPrognosis final : public Prognosis {
 public:
  AsymmetricPrognosis()
      : Prognosis({.writes_deepstop = false, .ascent_to_first_stop = false, .laststop_rule = false}) {}

  void heading(Schedule& w) override { write(w.p, R"(" ", " Deko Prognose, asymmetrisch!!")"); }

  void working_copies(Schedule& w) override {
    w.KN2W = asymmetric_rate_constants(w.KN2W, ASYMMETRIC_RATE_N2);
    w.KHEW = asymmetric_rate_constants(w.KHEW, ASYMMETRIC_RATE_HE);
  }

  double stop_minutes(const Schedule& w) override { return whole_minutes_plus_one(w.T); }

  void stop_line(Schedule& w) override {
    write(w.p, R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit:", F7.2, " ", " Komp.#: ", I2)",
          {w.printed_depth, w.Tr, w.lead});
  }

  void time_to_surface_line(Schedule& w) override {
    write(w.p, R"(" ", "TTS = ", F7.2)", {asymmetric_time_to_surface(w.SUM, w.st.DEPTH)});
  }
};

}  // namespace

void asymmetric_deco_prognosis(DiveState& st, Platform& p) {
  AsymmetricPrognosis asymmetric;
  run_schedule(asymmetric, st, p);
}

}  // namespace orva
