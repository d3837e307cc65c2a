#include "prognosis/surface_ndl_tables.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "prognosis/ndl.hpp"

namespace orva {
namespace {

constexpr int RL_ROWS = 12;       // 6 m to 39 m
constexpr int MIXED_ROWS = 20;    // 6 m to 63 m
constexpr double GAIN_DEFAULT = 1.2;
// OC: every half-time of the interval lengthened by 1.3.
constexpr quad OXYGEN_HALF_TIME_FACTOR = 1.3Q;
// ASY: compartments 1 to 10 off-gas with a half-time of 150 min, ln2 / 150.
constexpr double ASYMMETRIC_RATE = 0.0046209812037329686;
constexpr int ASYMMETRIC_SLOW_COMPARTMENTS = 10;

double ask_surface_interval(Platform& p) {
  return ask_value(p, R"("  geplante Oberflaechenpause (in min)?", $)", 3, 0);
}

// GAIN 0 (an empty answer) takes the default untested; any other answer must
// lie within 1.0 and 1.5, whatever the prompt says.
double ask_gain(Platform& p) {
  double GAIN = ask_value(p, R"("  GAIN Factor (>1.001, <1.25)=?", $)", 5, 3,
                          [](double v) { return v == 0.0 || within(v, 1.0Q, 1.5Q); });
  return GAIN == 0.0 ? GAIN_DEFAULT : GAIN;
}

// The tensions after SI minutes at the surface inspired pressure Pis.
Comp after_interval(const Comp& P, double Pis, const Comp& k, double SI) {
  Comp out{};
  for (int i = 1; i <= COMPARTMENTS; ++i) out[i] = haldane_update(P[i], Pis, k[i], SI);
  return out;
}

// OC and ASY: both gases, the mixture of the current tensions; table 2's
// interval rate constants come from `slowed`.
void mixed_gas_tables(DiveState& st, Platform& p, const char* title1, const char* title2,
                      double (*slowed)(double KMIX, int i)) {
  double SI = ask_surface_interval(p);
  for (int table = 1; table <= 2; ++table) {
    Comp P{}, M0{}, KMIX{}, KINT{};
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      P[i] = st.PN2[i] + st.PHE[i];
      MixedCoefficients m = store_mixture(st, i);
      KMIX[i] = m.k;
      M0[i] = st.PAIR / st.BMIX[i] + st.AMIX[i];
      KINT[i] = table == 1 ? m.k : slowed(m.k, i);
    }
    double Pis = inspired_gas_pressure(st, st.PAIR);
    Comp Pw = after_interval(P, Pis, KINT, SI);
    write(p, table == 1 ? title1 : title2);
    ndl_table(st, p, MIXED_ROWS, [&](double d) {
      double Pi = inspired_gas_pressure(st, ambient_pressure(st, d, st.BZFLAG));
      return surface_no_decompression_limit(Pi, Pw, M0, KMIX);
    });
  }
}

}  // namespace

double shunt_factor(double SI) {
  struct Step {
    quad up_to;
    double factor;
  };
  static const Step steps[] = {{15.0Q, 1.08},   {30.0Q, 1.112},  {45.0Q, 1.108},  {60.0Q, 1.075},
                               {75.0Q, 1.048},  {90.0Q, 1.031},  {105.0Q, 1.018}, {120.0Q, 1.012},
                               {135.0Q, 1.0075}, {150.0Q, 1.005}, {165.0Q, 1.0045}, {180.0Q, 1.004},
                               {190.0Q, 1.002}};
  for (const Step& s : steps)
    if (q(SI) <= s.up_to) return s.factor;
  return 1.0;
}

double surface_no_decompression_limit(double Pi, const Comp& P, const Comp& M0, const Comp& k) {
  double NDL = NDL_CAP;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    if (!(Pi > M0[i] && Pi > P[i])) continue;
    double t = time_to_limit(P[i], Pi, M0[i], k[i]);
    if (t <= NDL) NDL = t;
  }
  if (q(NDL) < 0.0Q) NDL = 0.0;
  return NDL;
}

void shunt_ndl_table(DiveState& st, Platform& p) {
  double SI = ask_surface_interval(p);
  double GAIN = ask_gain(p);
  Comp M0{};
  for (int i = 1; i <= COMPARTMENTS; ++i) M0[i] = st.PAIR / st.BN2[i] + st.AN2[i];
  for (int table = 1; table <= 2; ++table) {
    double Pis = st.PAIR * st.FN2;
    if (table == 2) Pis = Pis * (shunt_factor(SI) * GAIN);
    Comp Pw = after_interval(st.PN2, Pis, st.KN2, SI);
    write(p, table == 1 ? R"("  NDL Tabelle, symmetrisch zum Vergleich:")"
                        : R"("  NDL Tabelle, mit RL Shunt Korrektur!")");
    ndl_table(st, p, RL_ROWS, [&](double d) {
      double Pi = ambient_pressure(st, d) * st.FN2;
      return surface_no_decompression_limit(Pi, Pw, M0, st.KN2);
    });
  }
}

void oxygen_ndl_table(DiveState& st, Platform& p) {
  mixed_gas_tables(st, p, R"("  NDL Tabelle, symm., ohne OC, zum Vergleich:")",
                   R"("  NDL Tabelle mit SAUERSTOFF KORREKTUR !")",
                   [](double KMIX, int) { return to_double(q(KMIX) / OXYGEN_HALF_TIME_FACTOR); });
}

void asymmetric_ndl_table(DiveState& st, Platform& p) {
  mixed_gas_tables(st, p, R"("  NDL Tabelle, symmetrisch zum Vergleich:")",
                   R"("  NDL Tabelle, asymmetrische Entsaettigung!")", [](double KMIX, int i) {
                     return i <= ASYMMETRIC_SLOW_COMPARTMENTS ? ASYMMETRIC_RATE : KMIX;
                   });
}

}  // namespace orva
