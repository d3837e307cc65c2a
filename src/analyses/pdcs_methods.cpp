#include "analyses/pdcs_methods.hpp"

#include <cmath>

#include "analyses/probability_lines.hpp"
#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

const std::array<WeightedCompartment, 6> PME_COMPARTMENTS = {{
    {4.63, 0.14970781437579814, 0.00168},
    {115.6, 0.005996082876816136, 0.00784},
    {1.8, 0.3850817669777474, 0.02},
    {7.0, 0.0990210257942779, 0.025},
    {43, 0.0161197018734871, 0.01},
    {150, 0.0046209812037329686, 0.015},
}};

const std::array<std::array<WeightedCompartment, 3>, 3> STAT_TABLES_M4 = {{
    {{{0.442, 1.5682062908596048, 0.176},
      {129, 0.005373233957829034, 0.00117},
      {767, 0.0009037120998173993, 0.00735}}},
    {{{0.268, 2.586370076716214, 0.01},
      {60.1, 0.011533230957736194, 0.000864},
      {605, 0.0011456978191073477, 0.00213}}},
    {{{0.616, 1.1252389294804308, 0.382},
      {198, 0.00350074333616134, 0.001476},
      {929, 0.00074612183052739, 0.01257}}},
}};

const std::array<NeduTimeParameters, 6> NEDU_2004 = {{
    {0.918547, 0.002929, 25.091718, 86.596315, 170.304442, 6.022169},
    {0.8772, 0.0029, 23.0, 67.7, 191.8, 6.3},
    {0.96, 0.00376, 27.14, 105.48, 148.8, 5.74},
    {0.782505, 0.004029, 18.135384, 134.799017, 284.304696, 5.792136},
    {0.757522, 0.003297, 16.658085, 119.547308, 315.355652, 6.026285},
    {0.807488, 0.004761, 19.612683, 150.050726, 253.25374, 5.557987},
}};

const std::array<NeduLogParameters, 6> NEDU_2009 = {{
    {7.97, -53.0, 3.32, 0.04, -0.03},
    {6.28, -62.6, 1.7, -0.2, -0.07},
    {9.66, -43.4, 4.94, 0.28, 0.1},
    {8.16, -56.0, 3.81, 0.0, 0.0},
    {6.72, -65.1, 3.14, 0.0, 0.0},
    {9.6, -46.9, 4.48, 0.0, 0.0},
}};

namespace {

// The logistic e / (e + 1) of a double exponential, in binary128.
double logistic_of(double e) { return to_double(q(e) / (q(e) + 1.0Q)); }

}  // namespace

PdcsResult pdcs_values(const DiveState& st, double TTS) {
  PdcsResult r{};
  const double T = st.DIVETIME;
  const double Pamb = ambient_pressure(st, st.MAXDEPTH);
  const double F = st.FN2 + st.FHE;
  const double Pi = inspired_inert_pressure(Pamb, st.RQ, F);
  const double P0 = st.PAIR * F;
  auto tension = [&](double k) { return haldane_update(P0, Pi, k, T); };

  // I, Southerland 1992.
  const double lnT = std::log(T);
  const SoutherlandParameters& m1 = SOUTHERLAND_1992;
  const quad z1 = ((m1.ln_pamb * q(std::log(Pamb)) + m1.constant) + m1.ln_t * q(lnT)) - m1.ln_t_squared * q(lnT * lnT);
  r.I = logistic_of(std::exp(to_double(z1)));

  // II: a linear risk sum, printed without a transform.
  double sum = 0.0;
  for (const WeightedCompartment& c : PME_COMPARTMENTS) sum += ((tension(c.k) - st.PAIR) * c.w) / st.PAIR;
  r.II = sum;

  // III: against half the gauge pressure; only the central line carries the
  // factor 1.025, and on its first two terms only.
  const double X = to_double(q(Pamb - st.PAIR) / 2.0Q);
  for (size_t s = 0; s < STAT_TABLES_M4.size(); ++s) {
    std::array<double, 3> t{};
    for (size_t i = 0; i < 3; ++i) {
      const WeightedCompartment& c = STAT_TABLES_M4[s][i];
      t[i] = ((tension(c.k) - X) * c.w) / X;
    }
    r.III[s] = s == 0 ? to_double(q(t[0]) * STAT_TABLES_CENTRAL_FACTOR + q(t[1]) * STAT_TABLES_CENTRAL_FACTOR + q(t[2])) : (t[0] + t[1]) + t[2];
  }

  const double J = pressure_in_fsw(Pamb);
  for (size_t s = 0; s < NEDU_2004.size(); ++s) {
    const NeduTimeParameters& m = NEDU_2004[s];
    double g = 1.0 - std::exp(-(m.r * std::pow(T, m.p)));
    double z = ((J - m.c) * m.s) * (g / (TTS + m.d)) - m.e;
    r.IV[s] = 1.0 / (std::exp(-z) + 1.0);
  }

  for (size_t s = 0; s < NEDU_2009.size(); ++s) {
    const NeduLogParameters& m = NEDU_2009[s];
    // Va: the logarithm of T squared, not the square of the logarithm.
    double y = m.b1 * std::log(J) + m.b0 + m.b2 * std::log(T);
    if (s < 3) y = y + m.b3 * std::log(T * T) + m.b4 * st.ASCRATE;
    r.V[s] = logistic_of(std::exp(y));
  }

  // Every central value counts, whatever its size or sign.
  const std::array<double, 7> central = {r.I, r.II, r.III[0], r.IV[0], r.IV[3], r.V[0], r.V[3]};
  double S = 0.0;
  for (double v : central) S += v;
  r.MEAN = to_double(q(S) / 7.0Q);
  double Qs = 0.0;
  for (double v : central) Qs += (v - r.MEAN) * (v - r.MEAN);
  r.SDEV = to_double(qsqrt(q(Qs) / 7.0Q));
  return r;
}

namespace {

constexpr const char* III_TEXTS[3] = {"  Methode III: Stat. Tables Part VI, Model 4 ",
                                      "  Methode III: untere Fehlergrenze,          ",
                                      "  Methode III: obere Fehlergrenze,           "};
constexpr const char* IV_TEXTS[6] = {"  Methode IVa: NEDU Report 12/2004,          ",
                                     "  Methode IVa: untere Fehlergrenze,          ",
                                     "  Methode IVa: obere Fehlergrenze,           ",
                                     "  Methode IVb:     Combined Model,           ",
                                     "  Methode IVb: untere Fehlergrenze,          ",
                                     "  Methode IVb: obere Fehlergrenze,           "};
constexpr const char* VA_TEXTS[3] = {"  Methode Va:  NEDU Report 03/2009,          ",
                                     "  Methode Va:  untere Fehlergrenze,          ",
                                     "  Methode Va:  obere Fehlergrenze,           "};
constexpr const char* VB_TEXTS[3] = {"  Methode Vb:  NEDU Report 03/2009,          ",
                                     "  Methode Vb:  untere Fehlergrenze,          ",
                                     "  Methode Vb:  obere Fehlergrenze,           "};

}  // namespace

void pdcs_methods(DiveState& st, Platform& p) {
  const double TTS = ask_value(p, R"(" Eingabe der TTS (fuer Methoden IVa  und IVb) in min: ")", 7, 2,
                               [](double v) { return !(q(v) < 0.0Q); });
  const PdcsResult r = pdcs_values(st, TTS);
  const std::span<const double> V(r.V);

  write_probability(p, "  Methode I:   Southerland 1992,             ", r.I);
  write_probability(p, "  Methode II:  PME enhanced 6 Compartments,  ", r.II);
  write_star_line(p);
  write_probabilities(p, III_TEXTS, r.III);
  write_star_line(p);
  write_probabilities(p, IV_TEXTS, r.IV);
  write_star_line(p);
  write_probabilities(p, VA_TEXTS, V.first(3));
  write_star_line(p);
  write_probabilities(p, VB_TEXTS, V.last(3));
  write(p, R"("")");
  write_sdev_mean(p, r.SDEV, r.MEAN);
  write_star_line(p);
}

}  // namespace orva
