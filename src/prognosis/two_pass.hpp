// The two-pass scheme of the accelerated prognoses: the schedule is computed
// and printed twice from the same tensions, first with the compartments' rate
// constants as they are, then with the oxygen correction, in which every rate
// constant is divided by 1.35 and every long stop earns an air break.
//
// Both passes are the prognosis engine with: no ascent to the first stop, the
// first stop from ceilings of their own in the plain form, the mixture of the
// start tensions stored once per pass, no LASTSTOP rule, no DEEPSTOP, the stop
// minutes trunc(T) + 1 with the LATENCY surcharge, and the stop update with the
// working rate constants KN2W and KHEW. A prognosis of this kind names its
// grid, its gases by stop depth and its lines in a `TwoPassPrognosis` and runs
// `run_two_passes`; one that changes more (start sums, stop times) derives
// from it and overrides those engine hooks. A band of gases whose fN2 is 0
// breathes no inert gas at its stops (oxygen).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/quad.hpp"
#include "prognosis/engine.hpp"
#include "prognosis/stop_gases.hpp"

namespace orva {

// The oxygen correction factor of the second pass: KMIX, KN2W and KHEW are
// the first pass's values divided by the binary128 value nearest 1.35.
constexpr quad OXYGEN_CORRECTION = 1.35Q;

// Minutes added to every printed stop when LATENCY is "Y"; they do not enter
// the tissues.
constexpr double LATENCY_MINUTES = 5.0;

// A stop of this many printed minutes or more earns an air break in the
// second pass.
constexpr double AIR_BREAK_STOP = 15.0;

// The rate constant k of the second pass: k / 1.35 in binary128, rounded to
// double.
double oxygen_corrected(double k);

// trunc(T) + 1, plus LATENCY_MINUTES when LATENCY is "Y".
double stop_minutes_with_latency(double T, const std::string& LATENCY);

// The air-break minutes of a stop of Tr printed minutes: 5 x trunc(Tr / 15) + 1
// (double division) from 15 minutes on, otherwise none (0).
std::int64_t air_break_minutes(double Tr);

// What tells the prognoses of this kind apart.
struct TwoPassLines {
  std::string_view first_heading;   // the format of heading 1
  std::string_view second_heading;  // the format of heading 2
  std::string_view minutes_field;   // the field of the stop minutes (F8.1)
  std::string_view tts_field;       // the field of the times to surface (F8.1)
};

class TwoPassPrognosis : public Prognosis {
 public:
  TwoPassPrognosis(int grid, std::span<const GasBand> gases, TwoPassLines lines);

  int pass = 1;
  double SUMAB = 0.0;  // printed stop minutes plus air breaks

  void heading(Schedule& w) override;
  // Pass 2: the oxygen correction of KMIX, KN2W and KHEW; SUMAB := 0.
  void working_copies(Schedule& w) override;
  // Plain form from PSUMW and the pass's AMIX, BMIX, neither clamped nor stored.
  double first_stop_ceiling(const Schedule& w, int i) override;
  StopGas stop_gas(const Schedule& w) override;
  double stop_minutes(const Schedule& w) override;
  // Pass 1: the line of the stop's gas label; pass 2: the corrected line and,
  // for a long stop, the air-break line.
  void stop_line(Schedule& w) override;
  // SUM + D, and SUMAB + D when it is larger.
  void time_to_surface_line(Schedule& w) override;

 private:
  std::span<const GasBand> gases_;
  TwoPassLines lines_;
};

// Pass 1, then pass 2, each rebuilt from the DiveState tensions.
void run_two_passes(TwoPassPrognosis& v, DiveState& st, Platform& p);

}  // namespace orva
