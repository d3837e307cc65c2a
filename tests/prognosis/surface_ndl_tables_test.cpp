#include "prognosis/surface_ndl_tables.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "model/kernel.hpp"
#include "prognosis/ndl.hpp"
#include "prognosis/surface_state.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::state_after;
using testing::surface_state;

// 30 m for 25 min on air, then at the surface without an interval.
const char* const AIR_DIVE = "D\n30.\n25.\nD\n0\n0\n";

TEST(ShuntFactor, StepsAtTheirBounds) {
  struct Case {
    double SI, factor;
  } cases[] = {{-5.0, 1.08}, {0.0, 1.08},    {15.0, 1.08},  {15.5, 1.112}, {16.0, 1.112}, {30.0, 1.112},
               {45.0, 1.108}, {120.0, 1.012}, {121.0, 1.0075}, {190.0, 1.002}, {191.0, 1.0}, {999.0, 1.0}};
  for (const Case& c : cases) EXPECT_EQ(shunt_factor(c.SI), c.factor) << c.SI;
}

TEST(SurfaceNoDecompressionLimit, WhichCompartmentsCount) {
  // Every compartment at 1.0 bar with a surface M-value of 5.0 bar: at an
  // inspired pressure of 3.0 bar none limits, until a case changes one.
  struct Change {
    int i;
    double P, M0, k;
  };
  struct Case {
    const char* what;
    std::vector<Change> changes;
    double NDL;
  } cases[] = {
      {"no compartment limits", {}, NDL_CAP},
      {"tension above Pi and M0: left out", {{4, 3.5, 2.0, 0.01}}, NDL_CAP},
      {"tension equal to Pi: left out", {{4, 3.0, 2.0, 0.01}}, NDL_CAP},
      {"on-gassing compartment: 100 ln 10 min", {{8, 1.0, 2.8, 0.01}}, 100.0 * std::log(10.0)},
      {"tension between M0 and Pi: 0, not negative", {{8, 1.0, 2.8, 0.01}, {6, 2.5, 2.0, 0.01}}, 0.0},
  };
  for (const Case& c : cases) {
    Comp P, M0, k;
    P.fill(1.0), M0.fill(5.0), k.fill(0.01);
    for (const Change& ch : c.changes) P[ch.i] = ch.P, M0[ch.i] = ch.M0, k[ch.i] = ch.k;
    EXPECT_NEAR(surface_no_decompression_limit(3.0, P, M0, k), c.NDL, 1e-12) << c.what;
  }
}

// Expected tables from an independent evaluation of the rules.
const std::string RL_TABLE_1 =
    "  NDL Tabelle, symmetrisch zum Vergleich:\n"
    "  6.0 m: ***** min.   9.0 m: 494.3 min.  12.0 m: 129.5 min.  15.0 m:  68.4 min.  18.0 m:  45.6 min. "
    " 21.0 m:  34.6 min.  24.0 m:  27.4 min.  27.0 m:  21.1 min.  30.0 m:  16.2 min.  33.0 m:  13.4 min. "
    " 36.0 m:  11.4 min.  39.0 m:   9.8 min. ";
const std::string RL_TABLE_2_GAIN_1_2 =
    "  NDL Tabelle, mit RL Shunt Korrektur!\n"
    "  6.0 m: ***** min.   9.0 m: 468.8 min.  12.0 m: 112.5 min.  15.0 m:  57.8 min.  18.0 m:  37.4 min. "
    " 21.0 m:  27.9 min.  24.0 m:  22.3 min.  27.0 m:  18.5 min.  30.0 m:  15.0 min.  33.0 m:  12.3 min. "
    " 36.0 m:  10.4 min.  39.0 m:   9.1 min. ";
const std::string RL_TABLE_2_GAIN_1_5 =
    "  NDL Tabelle, mit RL Shunt Korrektur!\n"
    "  6.0 m: ***** min.   9.0 m: 436.3 min.  12.0 m:  88.1 min.  15.0 m:  42.4 min.  18.0 m:  26.6 min. "
    " 21.0 m:  19.3 min.  24.0 m:  15.2 min.  27.0 m:  12.5 min.  30.0 m:  10.7 min.  33.0 m:   9.3 min. "
    " 36.0 m:   8.2 min.  39.0 m:   7.4 min. ";

TEST(ShuntNdlTable, GainAnswersAfterAnAirDive) {
  const std::string SI = "  geplante Oberflaechenpause (in min)?";
  const std::string GAIN = "  GAIN Factor (>1.001, <1.25)=?";
  struct Case {
    std::vector<std::string> typed;
    int gain_prompts;
    const std::string& table2;
  } cases[] = {
      {{"60", ""}, 1, RL_TABLE_2_GAIN_1_2},
      {{"60", "0"}, 1, RL_TABLE_2_GAIN_1_2},
      {{"60", "1.2"}, 1, RL_TABLE_2_GAIN_1_2},
      {{"60", "12", "1.51", "0.99", "x", "1.5"}, 5, RL_TABLE_2_GAIN_1_5},
  };
  for (const Case& c : cases) {
    DiveState st = state_after(AIR_DIVE);
    st.FHE = 0.0;
    std::string prompts = SI;
    for (int n = 0; n < c.gain_prompts; ++n) prompts += GAIN;
    EXPECT_EQ(console_of(shunt_ndl_table, st, c.typed), prompts + RL_TABLE_1 + c.table2) << c.typed.back();
    EXPECT_EQ(st.DEPTH, 0.0);
  }
}

TEST(ShuntNdlTable, SurchargeSwitchIsIgnored) {
  DiveState st = state_after(AIR_DIVE);
  st.FHE = 0.0;
  st.BZFLAG = "Y";
  std::string out = console_of(shunt_ndl_table, st, {"60", ""});
  EXPECT_NE(out.find(RL_TABLE_1 + RL_TABLE_2_GAIN_1_2), std::string::npos);
}

TEST(AsymmetricNdlTable, LeavesTensionsAndStoresMixture) {
  DiveState st = state_after(AIR_DIVE);
  const DiveState before = st;
  st.AMIX.fill(0.0), st.BMIX.fill(0.0);
  console_of(asymmetric_ndl_table, st, {"60"});
  EXPECT_EQ(st.PN2, before.PN2);
  EXPECT_EQ(st.PHE, before.PHE);
  EXPECT_EQ(st.AMIX, before.AMIX);  // D stored the mixture of the same tensions
  EXPECT_EQ(st.BMIX, before.BMIX);
  EXPECT_EQ(st.PIHE, 3.55916146568425e-05);  // inspired helium at 63 m
  EXPECT_EQ(st.DEPTH, 0.0);
}

}  // namespace
}  // namespace orva
