#include "model/he_coefficients.hpp"

#include <gtest/gtest.h>

#include "model/coefficient_bench.hpp"
#include "model/coefficient_columns.hpp"
#include "model/kernel.hpp"

namespace orva {
namespace {

using bench::column;
using testing::TempHome;

struct StoredCase {
  const char* typed;
  const char* name;
  const char* tau;
  const char* a;
  const char* b;
};

const StoredCase STORED_SETS[] = {
    {"1", "ZH-L 16C  ",
     "1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.2, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24, 240.03",
     "1.7424, 1.383, 1.1919, 1.0458, 0.922, 0.8205, 0.7305, 0.6502, 0.595, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176, "
     "0.5172, 0.5119",
     "0.4245, 0.5747, 0.6527, 0.7223, 0.7852, 0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997, 0.9073, 0.9122, 0.9171, "
     "0.9217, 0.9267"},
    {"2", "ZH-L 12   ",
     "1.0, 3.0, 4.6, 7.0, 10.0, 14.0, 20.0, 30.0, 43.0, 55.0, 70.0, 90.0, 115.0, 150.0, 190.0, 240.0",
     "2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 10-16: 0.47",
     "0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.89, 10-16: 0.925"},
    // Only the first character is read: 12 is option 1.
    {"12", "ZH-L 16C  ",
     "1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.2, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24, 240.03",
     "1.7424, 1.383, 1.1919, 1.0458, 0.922, 0.8205, 0.7305, 0.6502, 0.595, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176, "
     "0.5172, 0.5119",
     "0.4245, 0.5747, 0.6527, 0.7223, 0.7852, 0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997, 0.9073, 0.9122, 0.9171, "
     "0.9217, 0.9267"},
};

TEST(HeliumSets, StoredSetsHoldTheirValuesAndLeaveNitrogenAlone) {
  for (const StoredCase& c : STORED_SETS) {
    TempHome home;
    DiveState st = bench::started_state();
    // Start from another set, so that option 1 has something to replace.
    bench::console_of(he_coefficient_choice, st, home, {"4"});
    st.RHO = 1000.0;
    const Comp TAUN2 = st.TAUN2, AN2 = st.AN2, BN2 = st.BN2, KN2 = st.KN2;
    bench::console_of(he_coefficient_choice, st, home, {c.typed});
    EXPECT_EQ(st.HEMATRIX, c.name) << c.typed;
    EXPECT_EQ(st.TAUHE, column(c.tau)) << c.typed;
    EXPECT_EQ(st.AHE, column(c.a)) << c.typed;
    EXPECT_EQ(st.BHE, column(c.b)) << c.typed;
    bench::expect_rate_constants_and_copies(he_matrix(st), c.typed);
    EXPECT_EQ(st.TAUN2, TAUN2);
    EXPECT_EQ(st.AN2, AN2);
    EXPECT_EQ(st.BN2, BN2);
    EXPECT_EQ(st.KN2, KN2);
    EXPECT_EQ(st.N2MATRIX, "ZH-L 16C  ");
    EXPECT_EQ(st.RHO, 1000.0);
  }
}

TEST(HeliumSets, TheStartSetIsOptionOne) {
  DiveState st = bench::started_state();
  EXPECT_EQ(st.HEMATRIX, "ZH-L 16C  ");
  EXPECT_EQ(st.TAUHE, column(STORED_SETS[0].tau));
  EXPECT_EQ(st.AHE, column(STORED_SETS[0].a));
  EXPECT_EQ(st.BHE, column(STORED_SETS[0].b));
}

TEST(HeliumSets, USNavySetUsesTheHeliumConstants) {
  const Comp TAU = column("5, 10, 20, 40, 80, 120, 160, 200, 9-16: 240");
  const Comp M0 = column("86, 74, 66, 60, 56, 54, 54, 53, 9-16: 53");
  const Comp DM = column("1.5, 1.4, 1.3, 1.2, 1.2, 1.2, 1.1, 1.0, 9-16: 1.0");
  for (double RHO : {998.403, 1025.0}) {
    TempHome home;
    DiveState st = bench::started_state();
    st.RHO = RHO;
    std::string out = bench::console_of(he_coefficient_choice, st, home, {"4"});
    EXPECT_EQ(st.HEMATRIX, "USN 1965  ");
    EXPECT_EQ(st.TAUHE, TAU);
    const double X = 100000.0 / (RHO * 9.80665);
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      EXPECT_EQ(st.AHE[i], M0[i] * 0.0306391 - 0.10052198162729659 * (DM[i] * (X * 1.013))) << RHO << " " << i;
      EXPECT_EQ(st.BHE[i], 9.948072887258439 * (1.013 / (DM[i] * X))) << RHO << " " << i;
    }
    bench::expect_rate_constants_and_copies(he_matrix(st), "option 4");
    if (RHO == 998.403) {
      EXPECT_EQ(st.AHE[1], 1.0749245434202108);
      EXPECT_EQ(st.BHE[1], 0.6577845942103246);
      // a and b are F6.4 in the helium listing.
      EXPECT_NE(out.find("\n  1    5.00 1.0749 0.6578  0.1386\n"), std::string::npos) << out;
    }
  }
}

TEST(HeliumSets, AskedAgainWithTheMenuUntilAnOptionOfIt) {
  TempHome home;
  DiveState st = bench::started_state();
  st.GFFLAG = "V";  // from a nitrogen coefficient file
  st.GFHI_N2[3] = 0.7;
  std::string out = bench::console_of(he_coefficient_choice, st, home, {"7", "0", "", "x", "2"});
  EXPECT_EQ(st.HEMATRIX, "ZH-L 12   ");
  EXPECT_EQ(st.GFFLAG, "N");
  EXPECT_EQ(st.GFHI_N2[3], 0.7);  // the nitrogen factors stay stored
  const size_t menus = bench::occurrences(out, " Eingabe der HE-Koeffizienten Matrix:\n");
  EXPECT_EQ(menus, 5u);
}

}  // namespace
}  // namespace orva
