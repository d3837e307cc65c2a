// The gradient-factor schedules that follow AD and TBM: the gradient-factor
// prognosis breathed on the gases of the accelerated decompression, every stop
// shown with its gas label, its factor and its leading compartment, at its own
// depth also where the LASTSTOP rule ends the schedule.
#pragma once

#include <span>
#include <string_view>

#include "prognosis/gf_prognosis.hpp"
#include "prognosis/stop_gases.hpp"

namespace orva {

class AcceleratedGradientFactorPrognosis : public GradientFactorPrognosis {
 public:
  AcceleratedGradientFactorPrognosis(int grid, std::span<const GasBand> gases, std::string_view minutes_field,
                                     std::string_view tts_field);

  // " Accelerated Deco Prognose mit  Gradientenfaktoren:" with GFHI and GFLO.
  void heading(Schedule& w) override;
  // The ascent to the first stop stays on the bottom gas; the stops breathe
  // the gas of their depth.
  StopGas stop_gas(const Schedule& w) override;
  void stop_line(Schedule& w) override;
  void time_to_surface_line(Schedule& w) override;

 private:
  std::span<const GasBand> gases_;
  std::string_view minutes_field_, tts_field_;
};

}  // namespace orva
