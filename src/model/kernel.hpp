// The shared model computations of the 16-compartment Buehlmann model. None
// has side effects; the callers store what they need. Operand order is part of
// every definition: results are compared digit for digit.
#pragma once

#include <string_view>

#include "model/dive_state.hpp"
#include "platform/quad.hpp"

namespace orva {

// RG: the pressure per metre of water in bar, (RHO x GRAV) / 100000.
double pressure_per_metre(double RHO, double GRAV);

// Plain form: depth x RG + PAIR.
double ambient_pressure(const DiveState& st, double depth);
// With BZFLAG "Y" the depth is replaced by 1.03 x depth + 1 m (binary128 steps);
// any other switch value gives the plain form.
double ambient_pressure(const DiveState& st, double depth, std::string_view BZFLAG);

// The carbon-dioxide term C = 0.053 x ((1 - RQ) / RQ), binary128.
quad alveolar_co2_term(double RQ);
// Pi = ((Pamb - 0.063) + C) x F, binary128, rounded to double.
double inspired_inert_pressure(double Pamb, double RQ, double F);
double inspired_inert_pressure(double Pamb, quad C, double F);

// ln2 / half-time in binary128, rounded to double; also turns a rate constant
// back into a half-time.
double rate_constant(double half_time);

// A value of the nitrogen and of the helium matrix weighted by the two tensions
// of a compartment, (XHE x PHE + XN2 x PN2) / (PN2 + PHE). A compartment that
// holds no inert gas at all (both tensions 0, after a long stay on pure
// oxygen) has nothing to weight: it takes the nitrogen value, the limit the
// mixture approaches as helium leaves faster than nitrogen. Tensions whose
// sum is subnormal are weighted as their normal multiples, so that no
// product underflows to a b or a rate constant of 0. Every mixture of
// the two matrices goes through here; two products add to the same number in
// either order, so a mixture written nitrogen first gives the same bits.
double tension_weighted(double XHE, double PHE, double XN2, double PN2);

struct MixedCoefficients {
  double a, b, k;
};
// The coefficients of compartment i weighted by its nitrogen and helium tensions.
MixedCoefficients mixture_coefficients(const DiveState& st, int i);
MixedCoefficients mixture_coefficients(double PN2, double PHE, double AN2, double AHE, double BN2, double BHE,
                                       double KN2, double KHE);

// Constant ambient pressure for t minutes.
double haldane_update(double P, double Pi, double k, double t);
// Inspired pressure changing linearly at R bar/min from Pi0, for t minutes.
double schreiner_update(double P, double Pi0, double R, double k, double t);

// (P - a) x b, and the gradient-factor form.
double tolerated_pressure(double P, double a, double b);
double tolerated_pressure(double P, double a, double b, double GF);

// (Ptol - PAIR) x (100000 / (RHO x GRAV)), from the unclamped Ptol.
double ceiling_depth(double Ptol, double PAIR, double RHO, double GRAV);

// Where the profile commands store a ceiling and a tolerated pressure: a
// negative ceiling becomes 0, then a negative tolerated pressure becomes 0
// (binary128 comparisons against 0).
void clamp_tolerance(double& ceiling, double& Ptol);

// Pamb / b + a, and the gradient-factor form.
double m_value(double Pamb, double a, double b);
double m_value(double Pamb, double a, double b, double GF);

// -((1 / k) x ln((M - Pi) / (P - Pi))); meaningful only for P > Pi and M > Pi.
double time_to_limit(double P, double Pi, double M, double k);

double feet_from_metres(double metres, double FTPERM);
// The current feet of sea water per bar, (FTPERM x 100000) / (RHO x GRAV), in double.
double fsw_per_bar(double FTPERM, double RHO, double GRAV);
double metres_from_feet(double feet, double FTPERM);
// Pamb x 32.638 in binary128, rounded to double.
double pressure_in_fsw(double Pamb);
// Oxygen partial pressure in atmospheres: the double and the binary128 form.
double po2_in_atm(double bar);
quad po2_in_atm_q(double bar);
// (pO2 / FO2 - 1) x 10, binary128; pO2 as a double or as a binary128 constant.
quad maximum_operating_depth(double pO2, double FO2);
quad maximum_operating_depth(quad pO2, double FO2);

}  // namespace orva
