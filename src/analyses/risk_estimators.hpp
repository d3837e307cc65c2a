// Risk estimators: RE.
//
// Estimates from the tensions the dive has left, the mixed coefficients as
// their last writer left them and TSTART; nothing is written back.
#pragma once

#include <array>
#include <initializer_list>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

namespace orva {

// An EOD estimate c1 x X - c2 x exp(-(r x DIVETIME)).
struct EodParameters {
  double c1, c2, r;
};
// EOD, EOD MIN, EOD MAX, EOD2, EOD2 MIN, EOD2 MAX.
extern const std::array<EodParameters, 6> EOD_ESTIMATES;

// An OTF estimate: the offset added to B, the offset added to R, the factor
// of the time term (OTF, OTF MIN, OTF MAX).
struct OtfParameters {
  quad dB, dR;
  double factor;
};
extern const std::array<OtfParameters, 3> OTF_ESTIMATES;
// B = (MAXDEPTH - DEPTH) x slope + base, binary128.
constexpr quad OTF_B_SLOPE = 0.00125Q, OTF_B_BASE = 0.35Q;

// TQR I: C = MAXDEPTH x slope + base, binary128, and the factor of its time
// term; TQR II has the form of an EOD estimate.
constexpr quad TQR1_C_SLOPE = 0.000125Q, TQR1_C_BASE = 0.05Q;
constexpr double TQR1_FACTOR = 0.005;
constexpr EodParameters TQR2_GENERIC_GAS = {0.15, 0.15, 0.2};

// Mean and population deviation of the values in [0, 1).
struct RiskSummary {
  double SDEV, MEAN;
};
RiskSummary summary_of_counted(std::initializer_list<double> values);

struct RiskEstimates {
  std::array<double, 6> EOD;  // the order of EOD_ESTIMATES
  std::array<double, 3> OTF;  // OTF, OTF MIN, OTF MAX
  RiskSummary first;          // over EOD, EOD2, OTF
  double TQR1, TQR2;
  RiskSummary second;         // over TQR I and TQR II
};
RiskEstimates risk_estimates(const DiveState& st);

void risk_estimators(DiveState& st, Platform& p);

}  // namespace orva
