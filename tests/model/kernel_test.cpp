// The shared model computations against reference values.
//
// How the references were obtained: python3 with decimal, getcontext().prec =
// 50. Inputs are doubles, widened exactly (Decimal(float)). A step the model
// does in binary128 was done in 50-digit decimal and rounded to the nearest
// double once, where the model rounds (float(Decimal)); a step the model does
// in double was done in Python float arithmetic (IEEE double) in the same
// order; exp and ln were taken in 50-digit decimal and rounded to double.
// Where a case notes "double gives ...", the same formula carried out in
// double alone lands on another double, so the case tells the binary128 step
// from a double one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/kernel.hpp"

namespace orva {
namespace {

DiveState start_environment() {
  DiveState st;
  st.RHO = 998.403;
  st.GRAV = 9.80665;
  st.PAIR = 1.013;
  return st;
}

struct Case {
  std::string what;
  std::function<double()> got;
  double want;
};

const double RG = 0.0979098877995;  // (998.403 x 9.80665) / 100000 in double
const double K1_N2 = 0.17328679513998632;  // ln2 / 4.0
const double K2_N2 = 0.08664339756999316;  // ln2 / 8.0

std::vector<Case> kernel_cases() {
  const DiveState st = start_environment();
  return {
      {"pressure per metre", [] { return pressure_per_metre(998.403, 9.80665); }, RG},
      {"ambient 10 m", [&] { return ambient_pressure(st, 10.0); }, 1.9920988779949997},
      {"ambient 0 m", [&] { return ambient_pressure(st, 0.0); }, 1.013},
      {"ambient 10 m switch N", [&] { return ambient_pressure(st, 10.0, "N"); }, 1.9920988779949997},
      // 11.3 m, rounded once; double gives 2.11938173213435.
      {"surcharged 10 m", [&] { return ambient_pressure(st, 10.0, "Y"); }, 2.1193817321343498},
      // double gives 4.1363254208040505.
      {"surcharged 30 m", [&] { return ambient_pressure(st, 30.0, "Y"); }, 4.13632542080405},

      {"co2 term RQ 1", [] { return to_double(alveolar_co2_term(1.0)); }, 0.0},
      {"co2 term RQ 0.8", [] { return to_double(alveolar_co2_term(0.8)); }, 0.013249999999999996},
      {"inspired N2 surface", [] { return inspired_inert_pressure(1.013, 1.0, 0.7902); }, 0.75069},
      {"inspired N2 surface RQ 0.8", [] { return inspired_inert_pressure(1.013, 0.8, 0.7902); },
       0.7611601499999999},
      {"inspired N2 30 m", [] { return inspired_inert_pressure(3.950296633985, 1.0, 0.7902); },
       3.071741800174947},
      // double gives 1.7519334852932498.
      {"inspired 30 m F 0.45 RQ 0.9", [] { return inspired_inert_pressure(3.950296633985, 0.9, 0.45); },
       1.75193348529325},
      // double gives 2.1645925000000004.
      {"inspired 5.9 bar F 0.37 RQ 0.8", [] { return inspired_inert_pressure(5.9, 0.8, 0.37); }, 2.1645925},
      {"inspired with a kept co2 term",
       [] { return inspired_inert_pressure(5.9, alveolar_co2_term(0.8), 0.37); }, 2.1645925},

      {"rate constant 4 min", [] { return rate_constant(4.0); }, K1_N2},
      {"rate constant 635 min", [] { return rate_constant(635.0); }, 0.0010915703630865281},
      // double gives 0.01809783761253121.
      {"rate constant 38.3 min", [] { return rate_constant(38.3); }, 0.018097837612531212},
      {"half-time back from 38.3 min", [] { return rate_constant(rate_constant(38.3)); }, 38.3},

      {"mixed a", [] { return mixture_coefficients(1.5, 0.7, 0.62, 0.922, 0.8126, 0.7852, 0.025672117798516494, 0.06788904804700736).a; },
       0.716090909090909},
      {"mixed b", [] { return mixture_coefficients(1.5, 0.7, 0.62, 0.922, 0.8126, 0.7852, 0.025672117798516494, 0.06788904804700736).b; },
       0.8038818181818183},
      {"mixed k", [] { return mixture_coefficients(1.5, 0.7, 0.62, 0.922, 0.8126, 0.7852, 0.025672117798516494, 0.06788904804700736).k; },
       0.03910477742303631},
      // The weighted half-time of MX: helium 10.21 min, nitrogen 27.0 min.
      {"weighted half-time", [] { return tension_weighted(10.21, 0.7, 27.0, 1.5); }, 21.65772727272727},

      {"haldane 25 min at 30 m", [] { return haldane_update(0.8004726, 3.071741800174947, K1_N2, 25.0); },
       3.041899579417083},
      {"haldane off-gassing 90 min", [] { return haldane_update(3.0419, 0.75069, 0.0010915703630865281, 90.0); },
       2.827511769327709},
      {"haldane 0 min", [] { return haldane_update(2.5, 0.75069, K1_N2, 0.0); }, 2.5},
      {"haldane long", [] { return haldane_update(2.5, 0.75069, 0.45903786792049356, 2000.0); }, 0.75069},

      // 30 m to the surface at 9 m/min, compartment 1, R = -(0.7902 x (RG x 9)).
      {"schreiner ascent 30 m to 0",
       [] { return schreiner_update(3.0419, 3.071741800174947, -0.6963155400524841, K1_N2, 3.3333333333333335); },
       2.4970401700650298},
      {"schreiner without change", [] { return schreiner_update(0.8004726, 3.071741800174947, 0.0, K1_N2, 25.0); },
       3.041899579417083},

      {"tolerated", [] { return tolerated_pressure(2.811416, 1.0, 0.6514); }, 1.1799563824},
      {"tolerated GF 0.3", [] { return tolerated_pressure(2.811416, 1.0, 0.6514, 0.3); }, 2.163994262282071},
      {"tolerated GF 1", [] { return tolerated_pressure(2.811416, 1.0, 0.6514, 1.0); }, 1.1799563824},
      {"tolerated below a", [] { return tolerated_pressure(0.8004726, 1.2599, 0.505); }, (0.8004726 - 1.2599) * 0.505},

      {"ceiling", [] { return ceiling_depth(1.179954, 1.013, 998.403, 9.80665); }, 1.7051801789609715},
      {"ceiling negative", [] { return ceiling_depth(0.5, 1.013, 998.403, 9.80665); }, -5.239511672718102},

      {"M-value", [] { return m_value(1.3067303, 1.0, 0.6514); }, 3.0060336198956095},
      {"M-value GF 0.3", [] { return m_value(1.3067303, 1.0, 0.6514, 0.3); }, 1.8165212959686827},
      {"surface M-value", [] { return m_value(1.013, 1.2599, 0.505); }, 3.265840594059406},

      {"time to limit", [] { return time_to_limit(2.811416, 0.982795, 2.5, K2_N2); }, 2.1547204950658756},

      {"feet", [] { return feet_from_metres(10.0, 3.28083); }, 32.8083},
      {"metres from feet", [] { return metres_from_feet(32.8083, 3.28083); }, 10.000000000000002},
      // double gives 128.9297815400024.
      {"pressure in fsw", [] { return pressure_in_fsw(3.950296633985); }, 128.92978154000244},
      {"po2 in atm", [] { return po2_in_atm(0.8275871448198574); }, 0.8167650084577917},
      // The binary128 quotient rounds to the double below 1.6.
      {"po2 in atm binary128", [] { return to_double(po2_in_atm_q(1.6212)); }, 1.5999999999999999},
      {"po2 in atm double", [] { return po2_in_atm(1.6212); }, 1.6},
      // double gives 56.66666666666666.
      {"maximum operating depth", [] { return to_double(maximum_operating_depth(1.4, 0.21)); }, 56.666666666666664},
  };
}

TEST(Kernel, MatchesTheReferenceValues) {
  for (const Case& c : kernel_cases()) EXPECT_EQ(c.got(), c.want) << c.what;
}

TEST(Kernel, Ln2IsTheBinary128Constant) {
  // 3FFE62E42FEFA39EF35793C7673007E6, high word first.
  unsigned char bytes[16];
  std::memcpy(bytes, &LN2, sizeof bytes);
  std::string hex;
  for (int i = 15; i >= 0; --i) {
    char b[3];
    std::snprintf(b, sizeof b, "%02X", bytes[i]);
    hex += b;
  }
  EXPECT_EQ(hex, "3FFE62E42FEFA39EF35793C7673007E6");
}

TEST(Kernel, MaximumOperatingDepthStaysBinary128) {
  // (1.6 / 0.32 - 1) x 10 is 40.0000000000000017347... in binary128: not the
  // double 40 until the caller rounds it.
  quad mod = maximum_operating_depth(1.6, 0.32);
  EXPECT_GT(mod, 40.0Q);
  EXPECT_LT(mod, 40.000000000000002Q);
  EXPECT_EQ(to_double(mod), 40.0);
}

TEST(Kernel, MixtureWithoutHeliumIsTheNitrogenSet) {
  // (b x P) / P is b up to one rounding: for P = 1.5 the a and k come back
  // exactly, the b of 0.8126 one unit in the last place away.
  MixedCoefficients m = mixture_coefficients(1.5, 0.0, 0.62, 0.922, 0.8126, 0.7852, 0.0256, 0.0679);
  EXPECT_EQ(m.a, 0.62);
  EXPECT_DOUBLE_EQ(m.b, 0.8126);
  EXPECT_EQ(m.k, 0.0256);
  m = mixture_coefficients(2.0, 0.0, 0.62, 0.922, 0.8126, 0.7852, 0.0256, 0.0679);
  EXPECT_EQ(m.b, 0.8126);
}

// Tensions of one compartment and which set's values they must give: the
// nitrogen set a 0.62, b 0.8126, k 0.0256, half-time 27.0 min, or the helium
// set 0.922, 0.7852, 0.0679, 10.21 min.
struct MixtureCase {
  const char* what;
  double PN2, PHE;
  bool nitrogen;
};

TEST(Kernel, MixtureOfACompartmentWithoutInertGasIsTheNitrogenSet) {
  const double tiny = 9.332636185032189e-302;  // 2^-1000: weighting by it is exact
  const MixtureCase cases[] = {
      {"both tensions 0", 0.0, 0.0, true},
      {"a negative zero", -0.0, 0.0, true},
      {"both negative zeros", -0.0, -0.0, true},
      // Any inert gas at all is weighted as always.
      {"only helium", 0.0, 2.0, false},
      {"a trace of helium only", 0.0, tiny, false},
      {"a trace of nitrogen only", tiny, 0.0, true},
  };
  for (const MixtureCase& c : cases) {
    MixedCoefficients m = mixture_coefficients(c.PN2, c.PHE, 0.62, 0.922, 0.8126, 0.7852, 0.0256, 0.0679);
    EXPECT_EQ(m.a, c.nitrogen ? 0.62 : 0.922) << c.what;
    EXPECT_EQ(m.b, c.nitrogen ? 0.8126 : 0.7852) << c.what;
    EXPECT_EQ(m.k, c.nitrogen ? 0.0256 : 0.0679) << c.what;
    // MX weights the half-times the same way.
    EXPECT_EQ(tension_weighted(10.21, c.PHE, 27.0, c.PN2), c.nitrogen ? 27.0 : 10.21) << c.what;
  }
}

// Tensions whose sum is subnormal are weighted exactly as the same tensions
// lifted into the normal range: no product underflows to a b or a rate
// constant of 0. Sums of normal size keep the plain formula, whose products
// may be subnormal themselves.
TEST(Kernel, SubnormalTensionsAreWeightedAsTheirNormalMultiples) {
  const double smallest = std::numeric_limits<double>::denorm_min();
  const double below_normal = std::nextafter(std::numeric_limits<double>::min(), 0.0);
  struct Case {
    const char* what;
    double PN2, PHE;
  } cases[] = {
      {"the smallest tensions", smallest, smallest},
      {"helium three times nitrogen", std::ldexp(1.0, -1070), std::ldexp(3.0, -1070)},
      {"a sum just below the normal range", below_normal / 4, below_normal - below_normal / 4},
      {"nitrogen far below helium", smallest, std::ldexp(1.0, -1030)},
  };
  for (const Case& c : cases) {
    ASSERT_LT(c.PN2 + c.PHE, std::numeric_limits<double>::min()) << c.what;
    const MixedCoefficients m = mixture_coefficients(c.PN2, c.PHE, 0.62, 0.922, 0.8126, 0.7852, 0.0256, 0.0679);
    const MixedCoefficients lifted = mixture_coefficients(std::ldexp(c.PN2, 600), std::ldexp(c.PHE, 600), 0.62, 0.922,
                                                          0.8126, 0.7852, 0.0256, 0.0679);
    EXPECT_EQ(m.a, lifted.a) << c.what;
    EXPECT_EQ(m.b, lifted.b) << c.what;
    EXPECT_EQ(m.k, lifted.k) << c.what;
    EXPECT_GT(m.b, 0.78) << c.what;
    EXPECT_GT(m.k, 0.025) << c.what;
  }
  // The smallest normal sum: the plain formula, its subnormal products and all.
  const double normal = std::numeric_limits<double>::min();
  const double PN2 = normal / 2, PHE = normal / 2;
  EXPECT_EQ(mixture_coefficients(PN2, PHE, 0.62, 0.922, 0.8126, 0.7852, 0.0256, 0.0679).k,
            (0.0679 * PHE + 0.0256 * PN2) / (PN2 + PHE));
}

struct ClampCase {
  double ceiling, Ptol, want_ceiling, want_Ptol;
};

TEST(Kernel, ClampsCeilingThenToleratedPressure) {
  const ClampCase cases[] = {
      {-5.2, -0.1, 0.0, 0.0},
      {-5.2, 0.5, 0.0, 0.5},
      {1.7, 1.18, 1.7, 1.18},
      {0.0, 1.013, 0.0, 1.013},
      {-1e-300, 1.0, 0.0, 1.0},
  };
  for (const ClampCase& c : cases) {
    double ceiling = c.ceiling, Ptol = c.Ptol;
    clamp_tolerance(ceiling, Ptol);
    EXPECT_EQ(ceiling, c.want_ceiling) << c.ceiling;
    EXPECT_EQ(Ptol, c.want_Ptol) << c.Ptol;
  }
}

TEST(Kernel, GuardlessInputsGiveIeeeResults) {
  // No computation checks its inputs: the caller's guard decides.
  EXPECT_TRUE(std::isnan(time_to_limit(0.7, 0.75069, 2.5, K1_N2)));
  EXPECT_TRUE(std::isinf(rate_constant(0.0)));
}

}  // namespace
}  // namespace orva
