#include "prognosis/engine.hpp"

#include <algorithm>

#include "model/kernel.hpp"
#include "platform/quad.hpp"

namespace orva {

std::int64_t first_stop_depth(double C, int G) {
  const std::int64_t most_steps = DEEPEST_SHOWN_STOP / G;
  std::int64_t n = std::clamp(saturating_int64(q(C) / q(static_cast<double>(G))), -most_steps, most_steps);
  return G * n + G;
}

double rounded_stop_time(double T, double ASCRATE) {
  std::int64_t whole = saturating_int64(q(T) + 3.0Q / q(ASCRATE));
  return to_double(static_cast<quad>(whole) + 1.0Q);
}

double whole_minutes_plus_one(double T) {
  std::int64_t whole = saturating_int64(q(T));
  return to_double(static_cast<quad>(whole) + 1.0Q);
}

double time_to_surface(double SUM, double DEPTH, double ASCRATE) {
  double D = static_cast<double>(saturating_int64(DEPTH / ASCRATE));
  return SUM + D;
}

void leading_compartment(const Comp& t, double& T, int& lead) {
  T = +0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    if (t[i] >= T) T = t[i];
    if (t[i] >= T) lead = i;
  }
}

double Prognosis::first_stop_ceiling(const Schedule& w, int i) { return w.st.CEILM[i]; }

StopGas Prognosis::stop_gas(const Schedule& w) { return {w.st.FN2, w.st.FHE}; }

double Prognosis::stop_m_value(const Schedule& w, int i) {
  return m_value(w.Pnext, w.st.AMIX[i], w.st.BMIX[i]);
}

double Prognosis::limit_tension(const Schedule& w, int i) { return w.PSUMW[i]; }

double Prognosis::stop_limit_time(const Schedule& w, int i) {
  double P = limit_tension(w, i);
  if (P > w.Pi && w.M[i] > w.Pi) return time_to_limit(P, w.Pi, w.M[i], w.KMIX[i]);
  return 0.0;
}

void Prognosis::compartment_limits(Schedule& w) {
  DiveState& st = w.st;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    if (prm.mixture == Mixture::every_stop) {
      MixedCoefficients mix = mixture_coefficients(w.PN2W[i], w.PHEW[i], st.AN2[i], st.AHE[i], st.BN2[i], st.BHE[i],
                                                   w.KN2W[i], w.KHEW[i]);
      st.AMIX[i] = mix.a;
      st.BMIX[i] = mix.b;
      w.KMIX[i] = mix.k;
    }
    w.M[i] = stop_m_value(w, i);
    w.t[i] = stop_limit_time(w, i);
  }
}

double Prognosis::stop_minutes(const Schedule& w) { return rounded_stop_time(w.T, w.st.ASCRATE); }

namespace {

// E2: the working tensions, sums and rate constants from DiveState.
void working_copies(Prognosis& v, Schedule& w) {
  DiveState& st = w.st;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    w.PN2W[i] = st.PN2[i];
    w.PHEW[i] = st.PHE[i];
    w.PSUMW[i] = st.PN2[i] + st.PHE[i];
    w.KN2W[i] = st.KN2[i];
    w.KHEW[i] = st.KHE[i];
    if (v.prm.mixture != Mixture::every_stop) {
      MixedCoefficients mix = mixture_coefficients(st, i);
      w.KMIX[i] = mix.k;
      if (v.prm.mixture == Mixture::once_stored) {
        st.AMIX[i] = mix.a;
        st.BMIX[i] = mix.b;
      }
    }
  }
  v.working_copies(w);
}

// E3: the running maximum of +0.0 and the 16 ceilings, in compartment order.
double first_stop_ceiling(Prognosis& v, const Schedule& w) {
  double C = +0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    double ceil_i = v.first_stop_ceiling(w, i);
    if (ceil_i > C) C = ceil_i;
  }
  return C;
}

// E5: schreiner_update of the working tensions from DEPTH to S1 at ASCRATE on
// the gas of DiveState. PSUMW keeps the sums taken before the ascent.
void ascent_to_first_stop(Schedule& w) {
  const DiveState& st = w.st;
  double t = (st.DEPTH - static_cast<double>(w.S1)) / st.ASCRATE;
  double Pamb0 = st.DEPTH * w.RG + st.PAIR;
  quad C = alveolar_co2_term(st.RQ);
  double PiN2_0 = inspired_inert_pressure(Pamb0, C, st.FN2);
  double PiHe_0 = inspired_inert_pressure(Pamb0, C, st.FHE);
  double R_N2 = -(st.FN2 * (st.ASCRATE * w.RG));
  double R_He = -((st.ASCRATE * w.RG) * st.FHE);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    w.PN2W[i] = schreiner_update(w.PN2W[i], PiN2_0, R_N2, st.KN2[i], t);
    w.PHEW[i] = schreiner_update(w.PHEW[i], PiHe_0, R_He, st.KHE[i], t);
  }
}

// E6.1: the inspired pressures of the stop; PIHE is written.
void stop_pressures(Prognosis& v, Schedule& w) {
  DiveState& st = w.st;
  w.Pamb = static_cast<double>(w.s) * w.RG + st.PAIR;
  StopGas gas = v.stop_gas(w);
  quad C = alveolar_co2_term(st.RQ);
  w.PiN2 = inspired_inert_pressure(w.Pamb, C, gas.fN2);
  w.PiHe = inspired_inert_pressure(w.Pamb, C, gas.fHe);
  st.PIHE = w.PiHe;
  w.Pi = w.PiHe + w.PiN2;
}

// E6.2: the ambient pressure 3 m above the stop, or PAIR under the LASTSTOP rule.
void target_pressure(const Prognosis& v, Schedule& w) {
  const DiveState& st = w.st;
  w.last = v.prm.laststop_rule && q(static_cast<double>(w.s) - st.LASTSTOP) <= 0.0Q;
  w.Pnext = w.last ? st.PAIR : static_cast<double>(w.s - TARGET_RISE) * w.RG + st.PAIR;
}

// E6.6: the depth shown: trunc(LASTSTOP) at the stop of the LASTSTOP rule and
// at the 3-m stop, otherwise the stop itself. Without the LASTSTOP rule every
// stop shows its own depth.
std::int64_t printed_depth(const Prognosis& v, const Schedule& w) {
  if (!v.prm.laststop_rule || !v.prm.laststop_depth_printed) return w.s;
  bool laststop = q(static_cast<double>(w.s) - w.st.LASTSTOP) <= 0.0Q;
  if (laststop || w.s == 3) return saturating_int64(w.st.LASTSTOP);
  return w.s;
}

// E6.7: haldane_update over the unrounded stop time.
void stop_update(Schedule& w) {
  const DiveState& st = w.st;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    w.PN2W[i] = haldane_update(w.PN2W[i], w.PiN2, w.KN2W[i], w.T);
    w.PHEW[i] = haldane_update(w.PHEW[i], st.PIHE, w.KHEW[i], w.T);
    w.PSUMW[i] = w.PN2W[i] + w.PHEW[i];
  }
}

}  // namespace

void run_schedule(Prognosis& v, DiveState& st, Platform& p) {
  Schedule w{st, p};
  v.heading(w);                                   // E1
  working_copies(v, w);                           // E2
  w.C = first_stop_ceiling(v, w);                 // E3
  w.S1 = first_stop_depth(w.C, v.prm.grid);       // E4
  if (v.prm.writes_deepstop) st.DEEPSTOP = static_cast<double>(w.S1);
  w.RG = pressure_per_metre(st.RHO, st.GRAV);
  if (v.prm.ascent_to_first_stop) ascent_to_first_stop(w);  // E5

  for (w.s = w.S1; w.s >= v.prm.grid; w.s -= v.prm.grid) {  // E6, E6.8
    stop_pressures(v, w);                         // E6.1
    v.stop_start(w);
    target_pressure(v, w);                        // E6.2
    v.compartment_limits(w);                      // E6.3
    leading_compartment(w.t, w.T, w.lead);        // E6.4
    // T is the maximum of +0.0 and the times, never below 0: every stop of
    // the loop is printed and applied, also with T = 0.
    w.Tr = v.stop_minutes(w);                     // E6.5
    w.SUM += w.Tr;
    w.printed_depth = printed_depth(v, w);        // E6.6
    v.stop_line(w);
    stop_update(w);                               // E6.7
    if (w.last) break;                            // E6.8
  }
  v.time_to_surface_line(w);                      // E7
}

}  // namespace orva
