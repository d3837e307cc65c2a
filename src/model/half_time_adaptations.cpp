#include "model/half_time_adaptations.hpp"

#include <cstdio>
#include <span>

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {
namespace {

// The typed number itself in binary128, not the double nearest to it widened:
// a field of F5.2 holds at most five digits, which the double keeps exactly
// to 15 significant digits, so its shortest 15-digit text is the typed value.
quad typed_quad(double typed) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", typed);
  return quad_from_text(text);
}

void set_half_time(Comp& TAU, Comp& K, int i, double half_time) {
  TAU[i] = half_time;
  K[i] = rate_constant(half_time);
}

// The half-times of a temperature mode: compartment and minutes.
struct AdaptedHalfTime {
  int compartment;
  double n2, he;
};
constexpr AdaptedHalfTime TA_MODE_0[] = {{5, 27.0, 10.21},  {6, 38.3, 14.48},   {7, 54.3, 20.53},
                                         {8, 77.0, 29.11},  {10, 146.0, 55.19}, {11, 187.0, 70.69}};
constexpr AdaptedHalfTime TA_MODE_1[] = {{6, 44.0, 18.0}, {8, 82.0, 33.0}, {10, 148.0, 58.0}};
constexpr AdaptedHalfTime TA_MODE_2[] = {{6, 58.0, 24.0}, {8, 95.0, 38.0}, {10, 153.0, 60.0}};
constexpr AdaptedHalfTime TA_MODE_3[] = {{5, 45.0, 17.0},   {6, 60.0, 24.0},   {7, 90.0, 27.0},
                                         {8, 104.0, 38.0},  {10, 155.0, 60.0}, {11, 197.0, 76.0}};
const std::span<const AdaptedHalfTime> TA_MODES[] = {TA_MODE_0, TA_MODE_1, TA_MODE_2, TA_MODE_3};

bool accepted_o2_consumption(double VO2) { return within(VO2, 0.25Q, 4.0Q); }

}  // namespace

void set_o2_consumption(DiveState& st, Platform& p) {
  // A rejected answer stays in VO2 until the next answer replaces it.
  ask_value(p, R"(" ", "Eingabe Sauerstoffverbrauch [ L / min ] ", " 0.25 -> 4.0 L/min: ", $)", 5, 2,
            [&](double v) {
              st.VO2 = v;
              return accepted_o2_consumption(v);
            });
  // The prompt offers up to 4.0; up to 4.5 is accepted.
  quad WF = 0;
  ask_value(p, R"(" ", " Eingabe Skalierungsfaktor WF [./.] ", " 0.5 -> 4.0 ", $)", 5, 2, [&](double v) {
    WF = typed_quad(v);
    return WF >= 0.5Q && WF <= 4.5Q;
  });

  // Always from the saved copies of the chosen set, so W is not cumulative.
  const quad F = (q(st.VO2) - 0.25Q) * WF + 1.0Q;
  for (int i = 4; i <= 14; ++i) set_half_time(st.TAUN2, st.KN2, i, to_double(q(st.TAUN2_COPY[i]) / F));
  // Helium compartments 5 to 13 take the scaled nitrogen half-time and rate
  // constant of the same compartment.
  for (int i = 5; i <= 13; ++i) {
    st.TAUHE[i] = st.TAUN2[i];
    st.KHE[i] = st.KN2[i];
  }
}

void temperature_adaptation(DiveState& st, Platform& p) {
  // Only while the diver gives off inert gas: shallower than the deepest point.
  if (!(st.MAXDEPTH > st.DEPTH)) {
    write(p, R"(" ", "Temperatur Adaption nur bei: ", " Inertgas-Abgabe (= auftauchen) !!!")");
    return;
  }
  // Mode 3 is accepted although the question does not offer it.
  const std::int64_t mode = ask_integer(p, R"(" ", "Eingabe Temperatur Adaption: 0 = normal", " 1 = kuehl, 2 = kalt")",
                                        1, [](std::int64_t m) { return m >= 0 && m <= 3; });
  for (const AdaptedHalfTime& h : TA_MODES[mode]) {
    set_half_time(st.TAUN2, st.KN2, h.compartment, h.n2);
    set_half_time(st.TAUHE, st.KHE, h.compartment, h.he);
  }
}

void mixed_coefficient_matrix(DiveState& st, Platform& p) {
  write(p, R"(" ", "  Aktuelle Koeffizientenmatrix,", " gewichtet fuer MISCHGAS!")");
  write(p, R"(" ", " ", "           A * ,        B * ,         TAU *")");
  write(p, R"(" ", " =========================================", "==============")");
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    const MixedCoefficients mix = mixture_coefficients(st, i);
    st.AMIX[i] = mix.a;
    st.BMIX[i] = mix.b;
    // The nitrogen half-time from its rate constant, the helium one as stored.
    const double TN = rate_constant(st.KN2[i]);
    const double TM = tension_weighted(st.TAUHE[i], st.PHE[i], TN, st.PN2[i]);
    write(p, R"(" ", " Nr.: ", I2, F7.4, " A * ", F7.4, " B * ", "  ", F9.4, " TAU gewichtet")",
          {i, st.AMIX[i], st.BMIX[i], TM});
  }
}

}  // namespace orva
