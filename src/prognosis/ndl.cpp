#include "prognosis/ndl.hpp"

#include "platform/console.hpp"

namespace orva {
namespace {

// A limiting compartment (inspired pressure above its surface M-value) whose
// tension already stands at or above the inspired pressure never comes below
// its surface M-value at that depth: it is over its limit now and stays over.
// It counts as a limit of 0 minutes.
constexpr double TIME_OF_COMPARTMENT_OVER_LIMIT = 0.0;

// The oxygen partial pressures of the MOD list, with their labels.
struct ModRow {
  quad pO2;
  const char* format;
};
const ModRow MOD_ROWS[] = {
    {3.0Q, R"("     MOD @ 3,0 atm pO2 :  ", F5.1)"}, {2.5Q, R"("     MOD @ 2,5 atm pO2 :  ", F5.1)"},
    {2.0Q, R"("     MOD @ 2,0 atm pO2 :  ", F5.1)"}, {1.6Q, R"("     MOD @ 1,6 atm pO2 :  ", F5.1)"},
    {1.5Q, R"("     MOD @ 1,5 atm pO2 :  ", F5.1)"}, {1.4Q, R"("     MOD @ 1,4 atm pO2 :  ", F5.1)"},
    {1.3Q, R"("     MOD @ 1,3 atm pO2 :  ", F5.1)"}, {1.2Q, R"("     MOD @ 1,2 atm pO2 :  ", F5.1)"},
    {1.1Q, R"("     MOD @ 1,1 atm pO2 :  ", F5.1)"}, {1.0Q, R"("     MOD @ 1,0 atm pO2 :  ", F5.1)"},
};

constexpr int NDL_TABLE_ROWS = 20;  // 6 m to 63 m

// N and T need the diver at the surface.
bool refused_at_depth(const DiveState& st, Platform& p) {
  if (q(st.DEPTH) == 0.0Q) return false;
  write(p, R"(" Erst ganz Austauchen!")");
  return true;
}

}  // namespace

double inspired_gas_pressure(DiveState& st, double Pamb) {
  quad C = alveolar_co2_term(st.RQ);
  double PiN2 = inspired_inert_pressure(Pamb, C, st.FN2);
  double PiHe = inspired_inert_pressure(Pamb, C, st.FHE);
  st.PIHE = PiHe;
  return PiN2 + PiHe;
}

MixedCoefficients store_mixture(DiveState& st, int i) {
  MixedCoefficients m = mixture_coefficients(st, i);
  st.AMIX[i] = m.a;
  st.BMIX[i] = m.b;
  return m;
}

NoDecompressionLimit no_decompression_limit(DiveState& st, double depth, std::string_view BZFLAG) {
  double Pamb = ambient_pressure(st, depth, BZFLAG);
  double Pi = inspired_gas_pressure(st, Pamb);
  NoDecompressionLimit r{NDL_CAP, NO_LIMITING_COMPARTMENT};
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    double P = st.PN2[i] + st.PHE[i];
    MixedCoefficients m = store_mixture(st, i);
    double M0 = st.PAIR / m.b + m.a;
    if (!(Pi > M0)) continue;
    double t = P < Pi ? time_to_limit(P, Pi, M0, m.k) : TIME_OF_COMPARTMENT_OVER_LIMIT;
    if (t < r.NDL) r.compartment = i;
    if (t <= r.NDL) r.NDL = t;
  }
  return r;
}

void ndl_table(DiveState& st, Platform& p, int rows, const std::function<double(double)>& ndl_at) {
  double d = 6.0;
  for (int row = 0; row < rows; ++row) {
    st.DEPTH = d;
    double NDL = ndl_at(d);
    write(p, R"(" ", F4.1, " m: ", F5.1, " min. ", $)", {st.DEPTH, NDL});
    d = d + 3.0;
  }
  st.DEPTH = 0.0;
}

void repetitive_dive_ndl(DiveState& st, Platform& p) {
  if (refused_at_depth(st, p)) return;
  st.DEPTH = ask_value(p, R"(" Tiefe des Wdh-TGs in Metern & cm:(m.cm): ", $)", 4, 1);
  if (!(q(st.DEPTH) >= 6.0Q)) {
    st.DEPTH = 0.0;
    write(p, R"(" Nullzeit unbegrenzt")");
    return;
  }
  NoDecompressionLimit r = no_decompression_limit(st, st.DEPTH, st.BZFLAG);
  write(p, R"(" Wdh Tiefe:", F4.1, "  Komp.:", I2, "   Nullzeit:", F7.3)", {st.DEPTH, r.compartment, r.NDL});
  st.DEPTH = 0.0;
}

void mod_list_and_ndl_table(DiveState& st, Platform& p) {
  if (refused_at_depth(st, p)) return;
  write(p, R"("     Gemisch   O2 = ", F5.2, "   He = ", F5.2, "   N2 = ", F5.2)", {st.FO2, st.FHE, st.FN2});
  for (const ModRow& row : MOD_ROWS) write(p, row.format, {maximum_operating_depth(row.pO2, st.FO2)});
  write(p, R"("     No Decompression Limits / NDL : ")");
  ndl_table(st, p, NDL_TABLE_ROWS, [&](double d) { return no_decompression_limit(st, d, st.BZFLAG).NDL; });
}

}  // namespace orva
