#include "prognosis/conservatism_series.hpp"

#include "platform/console.hpp"
#include "prognosis/engine.hpp"

namespace orva {

// The margin factors; the binary128 values nearest 1.15 and 1.2 lie just below
// those decimals, 1.25 is exact.
constexpr quad SAFETY_MARGIN_FACTORS[3] = {1.15Q, 1.2Q, 1.25Q};

quad conservatism_percent(int k) { return (static_cast<quad>(k) / CONSERVATISM_STEP_DIVISOR) * 100.0Q; }

quad conservatism_factor(int k) { return static_cast<quad>(k) / CONSERVATISM_STEP_DIVISOR + 1.0Q; }

double raised_tension(quad c, double P) { return to_double(c * q(P)); }

std::array<std::int64_t, 3> safety_margins(double Tr) {
  std::array<std::int64_t, 3> m{};
  for (int j = 0; j < 3; ++j) m[j] = saturating_int64(q(Tr) * SAFETY_MARGIN_FACTORS[j] + 1.0Q);
  return m;
}

namespace {

// One schedule of the series: the engine without the ascent to the first stop
// and without the LASTSTOP rule, with the mixture of the DiveState tensions
// kept for the whole schedule and the stop times taken from the raised
// tensions; the stop updates work on the unraised ones.
class ConservatismSchedule final : public Prognosis {
 public:
  explicit ConservatismSchedule(int k)
      : Prognosis({.writes_deepstop = false,
                   .ascent_to_first_stop = false,
                   .mixture = Mixture::once_stored,
                   .laststop_rule = false}),
        k_(k),
        c_(conservatism_factor(k)) {}

  // The three title lines before the first schedule only; then the separator
  // and the conservatism line of this schedule.
  void heading(Schedule& w) override {
    if (k_ == 0) {
      write(w.p, R"(" ", "*****************")");
      write(w.p, R"(" ", "  Deko Prognose: ")");
      write(w.p, R"(" ", "*****************")");
    }
    write(w.p, R"(" ", "========================")");
    write(w.p, R"(" ", "   Konservativismusfaktor: ", F3.0, " ", "in Prozent", " Gewebesaettigung")",
          {conservatism_percent(k_)});
  }

  double limit_tension(const Schedule& w, int i) override { return raised_tension(c_, w.PSUMW[i]); }

  double stop_minutes(const Schedule& w) override { return whole_minutes_plus_one(w.T); }

  // No leading compartment is shown.
  void stop_line(Schedule& w) override {
    auto m = safety_margins(w.Tr);
    write(w.p,
          R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit:", F5.1, " ", "Sicherheitszuschlag 15%:", I3, " ", "20%:", I3, " ", "25%:", I3)",
          {w.printed_depth, w.Tr, m[0], m[1], m[2]});
  }

  // The series prints no time to surface.
  void time_to_surface_line(Schedule&) override {}

 private:
  int k_;
  quad c_;
};

}  // namespace

void conservatism_prognosis_series(DiveState& st, Platform& p) {
  for (int k = 0; k < CONSERVATISM_SCHEDULES; ++k) {
    ConservatismSchedule schedule(k);
    run_schedule(schedule, st, p);
  }
}

}  // namespace orva
