// The gradient-factor prognosis after A, and what the prognoses with the
// global gradient-factor pair GFHI / GFLO share: the factor line of a stop and
// the schedule whose M-values that line lowers.
#pragma once

#include <cstdint>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "prognosis/engine.hpp"

namespace orva {

// The factor of the stop s on a straight line from lo at the first stop
// DEEPSTOP to hi at the surface: hi - ((hi - lo) / DEEPSTOP) x s, in double,
// in this operand order.
double gf_line(double hi, double lo, double DEEPSTOP, std::int64_t s);
// With the global pair: GFHI - ((GFHI - GFLO) / DEEPSTOP) x s.
double gf_line(const DiveState& st, std::int64_t s);

// The engine with the global gradient-factor pair: its own first-stop
// ceilings in the gradient-factor form with GFLO, KMIX once from the DiveState
// tensions, AMIX and BMIX as the prognosis before left them (never written),
// GFCUR := gf_line of each stop (only while GFFLAG is "S"), the M-values in the
// gradient-factor form with GFCUR, and the minutes trunc(T) + 1. The prognoses
// of AD and TBM with gradient factors derive from it and change the gas of a
// stop, the heading and the stop line.
class GradientFactorPrognosis : public Prognosis {
 public:
  static constexpr Parameters PARAMETERS{.mixture = Mixture::shared};

  explicit GradientFactorPrognosis(Parameters parameters = PARAMETERS) : Prognosis(parameters) {}

  double first_stop_ceiling(const Schedule& w, int i) override;
  void stop_start(Schedule& w) override;
  double stop_m_value(const Schedule& w, int i) override;
  double stop_minutes(const Schedule& w) override;

  // " Deko Prognose mit Gradientenfaktoren:" with GFHI and GFLO.
  void heading(Schedule& w) override;
  // Depth, minutes, GFCUR and the leading compartment.
  void stop_line(Schedule& w) override;
  // "TTS = " with the minute sum and the truncated ascent time.
  void time_to_surface_line(Schedule& w) override;
};

void gf_deco_prognosis(DiveState& st, Platform& p);

}  // namespace orva
