#include "model/kernel.hpp"

#include <cmath>
#include <limits>

namespace orva {

double pressure_per_metre(double RHO, double GRAV) { return (RHO * GRAV) / 100000.0; }

double ambient_pressure(const DiveState& st, double depth) {
  double RG = pressure_per_metre(st.RHO, st.GRAV);
  return depth * RG + st.PAIR;
}

double ambient_pressure(const DiveState& st, double depth, std::string_view BZFLAG) {
  if (BZFLAG != "Y") return ambient_pressure(st, depth);
  double RG = pressure_per_metre(st.RHO, st.GRAV);
  return to_double(((q(depth) * 1.03Q) + 1.0Q) * q(RG) + q(st.PAIR));
}

quad alveolar_co2_term(double RQ) {
  quad Qv = (1.0Q - q(RQ)) / q(RQ);
  return 0.053Q * Qv;
}

double inspired_inert_pressure(double Pamb, quad C, double F) {
  quad D1 = q(Pamb) - 0.063Q;
  quad Palv = D1 + C;
  return to_double(Palv * q(F));
}

double inspired_inert_pressure(double Pamb, double RQ, double F) {
  return inspired_inert_pressure(Pamb, alveolar_co2_term(RQ), F);
}

double rate_constant(double half_time) { return to_double(LN2 / q(half_time)); }

namespace {
// 2^600 lifts the smallest subnormal tension to about 1e-143, where the
// products with every coefficient of the model stay normal numbers.
constexpr int SUBNORMAL_TENSION_SCALE = 600;
}  // namespace

double tension_weighted(double XHE, double PHE, double XN2, double PN2) {
  double S = PN2 + PHE;
  // Without this the empty compartment's a, b and rate constant are 0 / 0,
  // and its tolerated pressure and ceiling with them.
  if (q(S) == 0.0Q) return XN2;
  // Tensions so small that their sum is subnormal (hours on oxygen after a
  // helium mix) lose their products to underflow: a weighted b of 0, a rate
  // constant of 0, and with them an infinite M-value and half-time. Both
  // tensions are scaled by the same power of two first, which is exact and
  // leaves the weights as they are; every sum of normal size is computed as
  // it always was.
  if (std::fabs(S) < std::numeric_limits<double>::min()) {
    PHE = std::ldexp(PHE, SUBNORMAL_TENSION_SCALE);
    PN2 = std::ldexp(PN2, SUBNORMAL_TENSION_SCALE);
    S = PN2 + PHE;
  }
  return (XHE * PHE + XN2 * PN2) / S;
}

MixedCoefficients mixture_coefficients(double PN2, double PHE, double AN2, double AHE, double BN2, double BHE,
                                       double KN2, double KHE) {
  return {tension_weighted(AHE, PHE, AN2, PN2), tension_weighted(BHE, PHE, BN2, PN2),
          tension_weighted(KHE, PHE, KN2, PN2)};
}

MixedCoefficients mixture_coefficients(const DiveState& st, int i) {
  return mixture_coefficients(st.PN2[i], st.PHE[i], st.AN2[i], st.AHE[i], st.BN2[i], st.BHE[i], st.KN2[i],
                              st.KHE[i]);
}

double haldane_update(double P, double Pi, double k, double t) {
  double kt = k * t;
  double e = std::exp(-kt);
  return (P - Pi) * e + Pi;
}

double schreiner_update(double P, double Pi0, double R, double k, double t) {
  double e = std::exp(-(t * k));
  double inv_k = 1.0 / k;
  return ((t - inv_k * (1.0 - e)) * R + Pi0) + (P - Pi0) * e;
}

double tolerated_pressure(double P, double a, double b) { return (P - a) * b; }

double tolerated_pressure(double P, double a, double b, double GF) {
  return (P - a * GF) * (b / ((GF - GF * b) + b));
}

double ceiling_depth(double Ptol, double PAIR, double RHO, double GRAV) {
  return (Ptol - PAIR) * (100000.0 / (RHO * GRAV));
}

void clamp_tolerance(double& ceiling, double& Ptol) {
  if (q(ceiling) < 0.0Q) ceiling = 0.0;
  if (q(Ptol) < 0.0Q) Ptol = 0.0;
}

double m_value(double Pamb, double a, double b) { return Pamb / b + a; }

double m_value(double Pamb, double a, double b, double GF) {
  return Pamb / (b / ((GF - GF * b) + b)) + a * GF;
}

double time_to_limit(double P, double Pi, double M, double k) {
  double num = M - Pi;
  double den = P - Pi;
  double l = std::log(num / den);
  double inv_k = 1.0 / k;
  return -(inv_k * l);
}

double feet_from_metres(double metres, double FTPERM) { return metres * FTPERM; }
double metres_from_feet(double feet, double FTPERM) { return feet / FTPERM; }

double fsw_per_bar(double FTPERM, double RHO, double GRAV) { return (FTPERM * 100000.0) / (RHO * GRAV); }

double pressure_in_fsw(double Pamb) { return to_double(q(Pamb) * 32.638Q); }

double po2_in_atm(double bar) { return bar / 1.01325; }
quad po2_in_atm_q(double bar) { return q(bar) / 1.01325Q; }

quad maximum_operating_depth(quad pO2, double FO2) { return (pO2 / q(FO2) - 1.0Q) * 10.0Q; }
quad maximum_operating_depth(double pO2, double FO2) { return maximum_operating_depth(q(pO2), FO2); }

}  // namespace orva
