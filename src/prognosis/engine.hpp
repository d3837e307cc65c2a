// The prognosis engine: the stop loop that every stop-schedule prognosis
// shares, in its steps E1 to E7.
//
//   E1 heading            E2 working copies     E3 first-stop ceiling
//   E4 first stop         E5 ascent to the first stop
//   E6 stop loop: E6.1 stop pressures, E6.2 target pressure, E6.3 compartment
//      limits, E6.4 stop time and leading compartment, E6.5 stop minutes,
//      E6.6 stop line, E6.7 stop update, E6.8 loop end
//   E7 time to surface
//
// How a prognosis is written: derive from `Prognosis`, hand the constructor
// the `Parameters` in which it differs from the plain prognosis (grid, first
// stop written to DEEPSTOP, ascent to the first stop, where the mixture comes
// from, LASTSTOP rule), and override only the hooks of the steps it replaces.
// The three output hooks (heading, stop line, time to surface) are its own
// lines and must be written; every other hook defaults to the plain engine
// step. Then call `run_schedule(variant, st, p)` once per schedule it prints
// (twice for a two-pass prognosis, keeping the pass number in the variant).
// Per-variant working values (factors, sums of its own, pass numbers) live as
// members of the variant; the engine's arrays and scalars are in `Schedule`,
// which every hook receives. A variant never writes its own stop loop.
//
// Where each engine parameter of a prognosis is set:
//   heading                    heading()
//   ceiling source             first_stop_ceiling()      (default: shared CEILM)
//   grid G, stop spacing       Parameters::grid
//   DEEPSTOP written           Parameters::writes_deepstop
//   ascent to the first stop   Parameters::ascent_to_first_stop
//   gas at a stop              stop_gas()                (default: FN2, FHE)
//   mixture                    Parameters::mixture
//   M-value form               stop_m_value()            (a gradient factor of
//                                                         the stop: stop_start())
//   LASTSTOP rule              Parameters::laststop_rule, ::laststop_depth_printed
//   limit operands             limit_tension(), stop_limit_time(); KMIX, KN2W
//                              and KHEW changed in working_copies()
//   leading compartment        always determined (w.lead); stop_line() shows it
//   stop time by other means   compartment_limits() (the whole step E6.3)
//   stop minutes               stop_minutes()            (default: rounded_stop_time)
//   stop line                  stop_line()
//   time to surface            time_to_surface_line()
//   stop update                with w.KN2W, w.KHEW (copies of KN2, KHE unless
//                              working_copies() changes them)
//
// Sketch of a variant whose M-values carry a factor and whose minutes have no
// ascent allowance:
//
//   class FactorPrognosis final : public Prognosis {
//    public:
//     FactorPrognosis() : Prognosis({.ascent_to_first_stop = false,
//                                    .mixture = Mixture::once_stored,
//                                    .laststop_rule = false}) {}
//     void heading(Schedule& w) override { write(w.p, R"(" ", " ... ")"); }
//     double stop_m_value(const Schedule& w, int i) override {
//       return Prognosis::stop_m_value(w, i) * g[i];
//     }
//     double stop_minutes(const Schedule& w) override {
//       return whole_minutes_plus_one(w.T);
//     }
//     void stop_line(Schedule& w) override { ... w.printed_depth, w.Tr ... }
//     void time_to_surface_line(Schedule& w) override { ... }
//   };
#pragma once

#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// The printed compartment number of a stop at which no compartment has led
// yet: at the first stop every compartment's time was negative.
constexpr int NO_LEADING_COMPARTMENT = 0;

// The stops take their M-values at the ambient pressure this many metres
// above the stop, on either grid.
constexpr int TARGET_RISE = 3;

// The deepest stop a schedule shows. Every finite ceiling the settings and
// the coefficient sets can give lies far above it, and its schedule starts
// where the grid puts it, its stop fields printing asterisks deeper than
// 9999 m. A
// ceiling that is not finite, or deeper than any dive (runaway tensions), is
// held at the first grid depth beyond it: at most 100002 / 3 stops on the 3-m
// grid and 100005 / 5 on the 5-m grid.
constexpr std::int64_t DEEPEST_SHOWN_STOP = 100000;

// Where the mixture coefficients of step E6.3 come from.
enum class Mixture {
  // Recomputed at every stop from the working tensions (with the working rate
  // constants KN2W, KHEW); AMIX and BMIX stored in DiveState.
  every_stop,
  // Computed once in E2 from the DiveState tensions, AMIX and BMIX stored in
  // DiveState, KMIX kept for the whole schedule.
  once_stored,
  // KMIX computed once in E2 from the DiveState tensions; AMIX and BMIX read
  // from DiveState as the prognosis before left them, never written.
  shared,
};

// The engine parameters; the defaults are those of the plain prognosis.
struct Parameters {
  int grid = 3;                        // E4 grid, E6 stop spacing, E6.8 loop end
  bool writes_deepstop = true;         // E4 DEEPSTOP := S1
  bool ascent_to_first_stop = true;    // E5 schreiner_update at ASCRATE
  Mixture mixture = Mixture::every_stop;
  bool laststop_rule = true;           // E6.2 target PAIR and E6.8 end at s <= LASTSTOP
  // E6.6 print trunc(LASTSTOP) at the last stop or at 3 m; only with the
  // LASTSTOP rule (without it every stop shows its own depth).
  bool laststop_depth_printed = true;
};

// The gas fractions breathed at a stop.
struct StopGas {
  double fN2, fHe;
};

// The working arrays and scalars of one schedule, rebuilt at every run.
struct Schedule {
  DiveState& st;
  Platform& p;

  Comp PN2W{}, PHEW{}, PSUMW{}, KMIX{};
  Comp KN2W{}, KHEW{};  // rate constants of the stop update and of the mixture at every stop

  double RG = 0.0;         // bar per metre
  double C = 0.0;          // E3 first-stop ceiling
  std::int64_t S1 = 0;     // E4 first stop
  std::int64_t s = 0;      // the current stop
  double Pamb = 0.0;       // E6.1 the ambient pressure of the stop
  double PiN2 = 0.0, PiHe = 0.0, Pi = 0.0;  // E6.1
  bool last = false;       // E6.2 the LASTSTOP rule holds at this stop
  double Pnext = 0.0;      // E6.2 the target pressure (PAIR under the LASTSTOP rule)
  Comp M{}, t{};           // E6.3
  double T = 0.0;          // E6.4 the unrounded stop time
  int lead = NO_LEADING_COMPARTMENT;
  double Tr = 0.0;         // E6.5 the printed stop minutes
  double SUM = 0.0;        // E6.5 the sum of the printed minutes
  std::int64_t printed_depth = 0;  // E6.6
};

// A stop-schedule prognosis: its parameters and the engine steps it replaces.
class Prognosis {
 public:
  explicit Prognosis(Parameters parameters = {}) : prm(parameters) {}
  virtual ~Prognosis() = default;

  const Parameters prm;

  // E1: the heading line(s).
  virtual void heading(Schedule& w) = 0;
  // E2, after the engine's copies (and the mixture of Mixture::once_stored and
  // ::shared): weighted sums, changed rate constants, factors of its own.
  virtual void working_copies(Schedule&) {}
  // E3: the ceiling of compartment i; by default the shared CEILM as the last
  // D, E or A stored it.
  virtual double first_stop_ceiling(const Schedule& w, int i);
  // E6.1: the gas of the stop w.s; by default FN2 and FHE of DiveState.
  virtual StopGas stop_gas(const Schedule& w);
  // E6.1, after the stop pressures are set (a gradient factor of the stop).
  virtual void stop_start(Schedule&) {}
  // E6.3: the whole step; by default, per compartment, the mixture (with
  // Mixture::every_stop), M(i) = stop_m_value and t(i) = stop_limit_time.
  virtual void compartment_limits(Schedule& w);
  // E6.3: M(i) = Pnext / BMIX(i) + AMIX(i).
  virtual double stop_m_value(const Schedule& w, int i);
  // E6.3: the tension the time to limit starts from, PSUMW(i).
  virtual double limit_tension(const Schedule& w, int i);
  // E6.3: time_to_limit from limit_tension to M(i) with KMIX(i) when the
  // tension and M(i) both lie above Pi, otherwise 0.
  virtual double stop_limit_time(const Schedule& w, int i);
  // E6.5: by default rounded_stop_time.
  virtual double stop_minutes(const Schedule& w);
  // E6.6: the stop line(s), with w.printed_depth, w.Tr, w.lead.
  virtual void stop_line(Schedule& w) = 0;
  // E7: the time-to-surface line(s), from w.SUM.
  virtual void time_to_surface_line(Schedule& w) = 0;
};

// Runs the steps E1 to E7 once on fresh working copies of DiveState.
void run_schedule(Prognosis& variant, DiveState& st, Platform& p);

// The shared computations of the prognoses.

// G x trunc(C / G) + G: the binary128 quotient truncated toward zero, the rest
// in integer arithmetic; at most the first grid depth beyond
// DEEPEST_SHOWN_STOP (and, for a C below 0, which E3 never gives, held as far
// on the other side).
std::int64_t first_stop_depth(double C, int G);

// trunc(T + 3 / ASCRATE) + 1, in binary128, rounded to double. A sum too
// large for a whole number (an infinite T, an ASCRATE of 0) counts as the
// largest whole number, so the minutes print as asterisks.
double rounded_stop_time(double T, double ASCRATE);

// trunc(T) + 1: T truncated toward zero to a whole number, 1 added; an
// infinite T counts as the largest whole number.
double whole_minutes_plus_one(double T);

// SUM + trunc(DEPTH / ASCRATE), the division in double; an ascent time too
// long for a whole number (an ASCRATE of 0) counts as the largest.
double time_to_surface(double SUM, double DEPTH, double ASCRATE);

// E6.4: T = max(+0.0, t(1), ..., t(16)); lead becomes the highest-numbered
// compartment whose time equals T, and keeps its value when every time is
// negative.
void leading_compartment(const Comp& t, double& T, int& lead);

}  // namespace orva
