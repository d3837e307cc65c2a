#include "analyses/risk_estimators.hpp"

#include <cmath>

#include "analyses/probability_lines.hpp"
#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

const std::array<EodParameters, 6> EOD_ESTIMATES = {{
    {0.698, 0.698, 0.81},
    // The rate of EOD MIN is the double difference, 0.5700000000000001.
    {0.415, 0.981, 0.81 - 0.24},
    {0.981, 0.415, 1.05},
    {0.25, 0.25, 0.975},
    {0.05, 0.05, 1.125},
    {0.45, 0.45, 0.825},
}};

const std::array<OtfParameters, 3> OTF_ESTIMATES = {{
    {0.0Q, 0.0Q, 0.025},
    {-0.081Q, 0.106Q, 0.021},
    {0.081Q, -0.106Q, 0.029},
}};

// A value counts when 0 <= value < 1. The deviation is the population form:
// the squares of the counted values' distances from the mean are summed, and
// the sum is divided by n before the root. When none counts there is no mean
// and no deviation: both are shown as 0 rather than a quotient 0/0 or a
// deviation left over from other estimates.
RiskSummary summary_of_counted(std::initializer_list<double> values) {
  auto counts = [](double v) { return q(v) >= 0.0Q && q(v) < 1.0Q; };
  int n = 0;
  double sum = 0.0;
  for (double v : values)
    if (counts(v)) {
      sum += v;
      ++n;
    }
  if (n == 0) return {0.0, 0.0};
  const double MEAN = sum / n;
  double squares = 0.0;
  for (double v : values)
    if (counts(v)) squares += (v - MEAN) * (v - MEAN);
  return {std::sqrt(squares / n), MEAN};
}

namespace {

double eod_value(const EodParameters& e, double X, double DIVETIME) {
  return e.c1 * X - e.c2 * std::exp(-(e.r * DIVETIME));
}

// q(B x G) + (1 - q(exp(-(R x DIVETIME)))) x factor, binary128.
double otf_value(double B, double G, double R, double DIVETIME, double factor) {
  return to_double(q(B * G) + (1.0Q - q(std::exp(-(R * DIVETIME)))) * q(factor));
}

}  // namespace

RiskEstimates risk_estimates(const DiveState& st) {
  RiskEstimates r{};
  const double Pmax = ambient_pressure(st, st.MAXDEPTH);

  // The largest tissue sum, split tolerated pressure and M-value, none below 0.
  double S = 0.0, T = 0.0, M = 0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    const double sum = st.PN2[i] + st.PHE[i];
    const double tol = tolerated_pressure(st.PN2[i], st.AN2[i], st.BN2[i]) +
                       tolerated_pressure(st.PHE[i], st.AHE[i], st.BHE[i]);
    const double mv = m_value(sum, st.AMIX[i], st.BMIX[i]);
    if (sum > S) S = sum;
    if (tol > T) T = tol;
    if (mv > M) M = mv;
  }

  const double X = (S - st.PAIR) / st.PAIR;
  for (size_t j = 0; j < EOD_ESTIMATES.size(); ++j)
    r.EOD[j] = eod_value(EOD_ESTIMATES[j], X, st.DIVETIME);

  // With no ascent yet TSTART is 0: R is +infinity and the time term is the
  // full factor.
  const double B = to_double(q(st.MAXDEPTH - st.DEPTH) * OTF_B_SLOPE + OTF_B_BASE);
  const double R = to_double(1.0Q / q(st.TSTART));
  const double G = std::exp(-((S - T) / Pmax));
  for (size_t j = 0; j < OTF_ESTIMATES.size(); ++j) {
    const OtfParameters& o = OTF_ESTIMATES[j];
    const double Bj = j == 0 ? B : to_double(q(B) + o.dB);
    const double Rj = j == 0 ? R : to_double(q(R) + o.dR);
    r.OTF[j] = otf_value(Bj, G, Rj, st.DIVETIME, o.factor);
  }
  r.first = summary_of_counted({r.EOD[0], r.EOD[3], r.OTF[0]});

  const double C = to_double(q(st.MAXDEPTH) * TQR1_C_SLOPE + TQR1_C_BASE);
  const double R2 = to_double(1.0Q / q(st.DIVETIME - st.TIME));
  const double H = std::exp(-((S - M) / Pmax));
  r.TQR1 = otf_value(C, H, R2, st.DIVETIME, TQR1_FACTOR);
  r.TQR2 = eod_value(TQR2_GENERIC_GAS, X, st.DIVETIME);
  r.second = summary_of_counted({r.TQR1, r.TQR2});
  return r;
}

namespace {

constexpr const char* EOD_TEXTS[6] = {
    "  Methode VI:  EOD            2015,          ", "  Methode VI:  EOD MIN        2015,          ",
    "  Methode VI:  EOD MAX        2015,          ", "  Methode VI:  EOD2           2015,          ",
    "  Methode VI:  EOD2 MIN       2015,          ", "  Methode VI:  EOD2 MAX       2015,          "};
constexpr const char* OTF_TEXTS[3] = {"  Methode VI:  OTF            2015,          ",
                                      "  Methode VI:  OTF MIN        2015,          ",
                                      "  Methode VI:  OTF MAX        2015,          "};

}  // namespace

void risk_estimators(DiveState& st, Platform& p) {
  const RiskEstimates r = risk_estimates(st);
  write(p, R"("  ********************RISK ESTIMATORS*************************", /)");
  write_probabilities(p, EOD_TEXTS, r.EOD);
  write_probabilities(p, OTF_TEXTS, r.OTF);
  write_sdev_mean(p, r.first.SDEV, r.first.MEAN);
  write_star_line(p);
  write_probability(p, "  Meth. TQR I: OTF folded over EOD,          ", r.TQR1);
  write_probability(p, "  Meth. TQR II:  generic gas model,          ", r.TQR2);
  write_sdev_mean(p, r.second.SDEV, r.second.MEAN);
}

}  // namespace orva
