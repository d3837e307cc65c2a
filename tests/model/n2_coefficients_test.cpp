#include "model/n2_coefficients.hpp"

#include <gtest/gtest.h>

#include "model/coefficient_bench.hpp"
#include "model/coefficient_columns.hpp"
#include "model/half_time_adaptations.hpp"
#include "model/kernel.hpp"

namespace orva {
namespace {

using bench::column;
using testing::TempHome;

const char* const ZHL16_TAU =
    "4.0, 8.0, 12.5, 18.5, 27.0, 38.3, 54.3, 77.0, 109.0, 146.0, 187.0, 239.0, 305.0, 390.0, 498.0, 635.0";
const char* const ZHL16_B =
    "0.505, 0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.891, 0.9092, 0.9222, 0.9319, 0.9403, 0.9477, 0.9544, "
    "0.9602, 0.9653";
const char* const HAHN_TAU =
    "2.65, 7.94, 12.2, 18.5, 26.5, 37.0, 53.0, 79.0, 114.0, 146.0, 185.0, 238.0, 304.0, 397.0, 503.0, 635.0";

struct StoredCase {
  int option;
  const char* name;
  const char* tau;
  const char* a;
  const char* b;
};

const StoredCase STORED_SETS[] = {
    {1, "ZH-L 16C  ", ZHL16_TAU,
     "1.2599, 1.0, 0.8618, 0.7562, 0.62, 0.5043, 0.441, 0.4, 0.375, 0.35, 0.3295, 0.3065, 0.2835, 0.261, 0.248, 0.2327",
     ZHL16_B},
    {2, "Deco 2000 ", HAHN_TAU,
     "1.3, 0.875, 0.85, 0.735, 0.56, 0.55, 0.5, 0.315, 0.31, 0.305, 0.24, 0.235, 0.23, 0.225, 0.22, 0.215",
     "0.45, 0.74, 0.745, 0.825, 0.86, 0.86, 0.86, 0.87, 0.88, 0.921, 0.931, 0.945, 0.955, 0.96, 0.961, 0.962"},
    {7, "ZH-L 16B  ", ZHL16_TAU,
     "1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.56, 0.4947, 0.45, 0.4187, 0.3798, 0.3497, 0.3223, 0.285, 0.2737, 0.2523, "
     "0.2327",
     ZHL16_B},
    {8, "ZH-L 12   ", HAHN_TAU,
     "2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.43, 0.43, 0.35, 0.23, 0.23, 0.23, 0.23",
     "0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.89, 0.931, 0.931, 0.943, 0.962, 0.962, 0.962, 0.962"},
    {9, "P2-2 D-BR ",
     "4.0, 7.94, 12.2, 18.5, 26.5, 37.0, 53.0, 79.0, 114.0, 146.0, 185.0, 238.0, 304.0, 397.0, 503.0, 635.0",
     "1.8917, 1.4699, 1.0575, 0.87828, 0.69207, 0.53783, 0.43429, 0.40135, 0.41385, 0.43085, 0.4317, 0.37321, "
     "0.25083, 0.25086, 0.25087, 0.25088",
     "0.82593, 0.82604, 0.83132, 0.84232, 0.85687, 0.8825, 0.89375, 0.91737, 0.90848, 0.94176, 0.94122, 0.94896, "
     "0.96671, 0.96668, 0.96666, 0.96666"},
    {12, "MT92      ",
     "5.0, 7.0, 10.0, 15.0, 20.0, 30.0, 40.0, 50.0, 60.0, 75.0, 80.0, 100.0, 120.0, 120.0, 120.0, 120.0",
     "1.04, 0.85714, 0.72, 0.61333, 0.56, 0.50667, 0.48, 0.464, 0.45333, 0.44267, 0.44, 0.432, 0.42667, 0.42667, "
     "0.42667, 0.42667",
     "0.38462, 0.4667, 0.55556, 0.65217, 0.71429, 0.78947, 0.83333, 0.86207, 0.88235, 0.90361, 0.90909, 0.92593, "
     "0.9375, 0.9375, 0.9375, 0.9375"},
    {13, "ES-L 16D  ", ZHL16_TAU,
     "1.1339, 0.8, 0.7325, 0.6806, 0.558, 0.4539, 0.3969, 0.36, 0.3225, 0.3045, 0.2767, 0.2759, 0.2552, 0.2349, "
     "0.2232, 0.2094",
     ZHL16_B},
};

std::string typed_option(int option) { return std::to_string(option); }

TEST(NitrogenSets, StoredSetsHoldTheirValues) {
  for (const StoredCase& c : STORED_SETS) {
    TempHome home;
    DiveState st = bench::started_state();
    const Comp TAUHE = st.TAUHE, AHE = st.AHE, BHE = st.BHE, KHE = st.KHE;
    bench::console_of(n2_coefficient_choice, st, home, {typed_option(c.option)});
    const std::string what = "option " + typed_option(c.option);
    EXPECT_EQ(st.N2MATRIX, c.name) << what;
    EXPECT_EQ(st.TAUN2, column(c.tau)) << what;
    EXPECT_EQ(st.AN2, column(c.a)) << what;
    EXPECT_EQ(st.BN2, column(c.b)) << what;
    bench::expect_rate_constants_and_copies(n2_matrix(st), what);
    // Nothing of the helium matrix is touched.
    EXPECT_EQ(st.TAUHE, TAUHE);
    EXPECT_EQ(st.AHE, AHE);
    EXPECT_EQ(st.BHE, BHE);
    EXPECT_EQ(st.KHE, KHE);
    EXPECT_EQ(st.HEMATRIX, "ZH-L 16C  ");
    EXPECT_EQ(st.RHO, c.option == 13 ? 1025.0 : 998.403) << what;
  }
}

TEST(NitrogenSets, TheStartSetIsOptionOne) {
  DiveState st = bench::started_state();
  EXPECT_EQ(st.N2MATRIX, "ZH-L 16C  ");
  EXPECT_EQ(st.TAUN2, column(STORED_SETS[0].tau));
  EXPECT_EQ(st.AN2, column(STORED_SETS[0].a));
  EXPECT_EQ(st.BN2, column(STORED_SETS[0].b));
}

struct M0dMCase {
  int option;
  const char* name;
  const char* tau;
  const char* m0;
  const char* dm;
};

const M0dMCase M0DM_SETS[] = {
    {4, "USN 1965  ", "5, 10, 20, 40, 80, 120, 160, 200, 9-16: 240", "104, 88, 72, 56, 54, 52, 51, 51, 9-16: 50",
     "1.8, 1.6, 1.5, 1.4, 1.3, 1.2, 1.15, 8-16: 1.1"},
    {5, "VVAL18    ", "5, 10, 20, 40, 80, 120, 160, 200, 9-16: 240",
     "120, 98, 78, 56, 48.5, 45.5, 44.5, 44, 9-16: 43.5", "1 for all"},
    {6, "VVAL 76-1 ", "5, 10, 20, 35, 40, 45, 80, 120, 160, 200, 240, 12-16: 255",
     "106.7, 86.7, 70.3, 59.2, 56, 55.6, 48.5, 45.5, 44.5, 44, 43.5, 12-16: 40.4", "1 for all"},
    {14, "VVAL 79   ", "5, 10, 20, 40, 80, 120, 160, 200, 9-16: 240",
     "99.3, 87.7, 78, 56, 48.5, 45.5, 44.5, 44, 9-16: 43.5", "1 for all"},
};

TEST(NitrogenSets, USNavySetsComeFromSurfaceMValuesAtTheMomentOfTheChoice) {
  for (const M0dMCase& c : M0DM_SETS) {
    for (double PAIR : {1.013, 0.8}) {
      TempHome home;
      DiveState st = bench::started_state();
      st.PAIR = PAIR;
      bench::console_of(n2_coefficient_choice, st, home, {typed_option(c.option)});
      const std::string what = "option " + typed_option(c.option) + " PAIR " + std::to_string(PAIR);
      EXPECT_EQ(st.N2MATRIX, c.name) << what;
      EXPECT_EQ(st.TAUN2, column(c.tau)) << what;
      const Comp M0 = column(c.m0), DM = column(c.dm);
      const double X = 100000.0 / (998.403 * 9.80665);
      for (int i = 1; i <= COMPARTMENTS; ++i) {
        EXPECT_EQ(st.AN2[i], M0[i] * 0.030643 - 0.10053147862602932 * (DM[i] * (X * PAIR))) << what << " " << i;
        EXPECT_EQ(st.BN2[i], 9.94713311359854 * (PAIR / (DM[i] * X))) << what << " " << i;
      }
      bench::expect_rate_constants_and_copies(n2_matrix(st), what);
    }
  }
}

TEST(NitrogenSets, USNavyValuesAtTheStartEnvironment) {
  TempHome home;
  DiveState st = bench::started_state();
  std::string out = bench::console_of(n2_coefficient_choice, st, home, {"4"});
  EXPECT_EQ(st.AN2[1], 1.3146494671534457);
  EXPECT_EQ(st.BN2[1], 0.5481020455617513);
  EXPECT_EQ(st.AN2[16], 0.38801400770488303);
  EXPECT_EQ(st.BN2[16], 0.896894256373775);
  EXPECT_NE(out.find("\n  1    5.00  1.3146  0.5481  0.1386\n"), std::string::npos) << out;
  bench::console_of(n2_coefficient_choice, st, home, {"5"});
  EXPECT_EQ(st.AN2[1], 2.637036370640803);
  EXPECT_EQ(st.BN2[1], 0.9865836820111525);
}

TEST(NitrogenSets, ReadsTheOptionFromTwoCharacters) {
  struct Case {
    std::vector<std::string> typed;
    const char* name;
    size_t menus;
  } cases[] = {
      {{"3"}, "File      ", 1},         // a line shorter than the field
      {{"123"}, "MT92      ", 1},       // only two characters are read
      {{" 9"}, "P2-2 D-BR ", 1},
      {{"", "0", "15", "-1", "x", "1.", "14"}, "VVAL 79   ", 7},  // no default, no message
  };
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = bench::started_state();
    std::string out = bench::console_of(n2_coefficient_choice, st, home, c.typed);
    EXPECT_EQ(st.N2MATRIX, c.name) << c.typed.back();
    const size_t menus = bench::occurrences(out, " Input of N2 coefficient matrix: \n");
    EXPECT_EQ(menus, c.menus) << c.typed.back();
  }
}

TEST(NitrogenSets, AnAcceptedOptionLeavesPerCompartmentFactorsButKeepsTheTypedPair) {
  struct Case {
    const char* before;
    const char* after;
    double GFHI, GFLO;
  } cases[] = {{"S", "S", 0.85, 0.3}, {"V", "N", 1.0, 1.0}, {"N", "N", 0.85, 0.3}};
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = bench::started_state();
    st.GFFLAG = c.before;
    st.GFHI = 0.85;
    st.GFLO = 0.3;
    st.GFHI_N2[7] = 0.7;  // from an earlier coefficient file
    bench::console_of(n2_coefficient_choice, st, home, {"2"});
    EXPECT_EQ(st.GFFLAG, c.after) << c.before;
    EXPECT_EQ(st.GFHI, c.GFHI) << c.before;
    EXPECT_EQ(st.GFLO, c.GFLO) << c.before;
    EXPECT_EQ(st.GFHI_N2[7], 0.7) << "built-in sets keep the factors of a file";
  }
}

TEST(NitrogenSets, ClrBringsBackTheHalfTimesOfTheSetChosenLast) {
  TempHome home;
  DiveState st = bench::started_state();
  bench::console_of(n2_coefficient_choice, st, home, {"2"});
  bench::console_of(set_o2_consumption, st, home, {"1.0", "1.0"});
  ASSERT_NE(st.TAUN2[4], 18.5);
  st.CMD = "CLR ";
  testing::TempHome no_prot(false);
  testing::FakePlatform p({}, no_prot.path());
  reset_dive_state(st, p);
  EXPECT_EQ(st.TAUN2, column(HAHN_TAU));
  EXPECT_EQ(st.AN2, column(STORED_SETS[1].a));
  EXPECT_EQ(st.N2MATRIX, "Deco 2000 ");
  bench::expect_rate_constants_and_copies(n2_matrix(st), "after CLR");
}

}  // namespace
}  // namespace orva
