#include "prognosis/vgm_prognosis.hpp"

#include <gtest/gtest.h>

#include "prognosis/variant_fixtures.hpp"

namespace orva {
namespace {

using testing::at_depth_with_mixture;
using testing::StartedState;

void set_factors(DiveState& st, int i, double hiN2, double loN2, double hiHe, double loHe) {
  st.GFHI_N2[i] = hiN2;
  st.GFLO_N2[i] = loN2;
  st.GFHI_HE[i] = hiHe;
  st.GFLO_HE[i] = loHe;
}

// The prognosis at depth in mode "V" prints its heading and exactly one stop.
void expect_one_stop(StartedState& s, double depth, const std::string& stop_line) {
  at_depth_with_mixture(s.st, depth);
  s.st.GFFLAG = "V";
  vgm_deco_prognosis(s.st, s.p);
  const std::vector<std::string> expected = {"  GF FLAG: V   Deko Prognose nach VGM: ", stop_line};
  EXPECT_EQ(s.lines(), expected);
}

TEST(VgmPrognosis, FactorsOfZeroSetADeepFirstStopAtTheTensionItself) {
  // Compartment 5 with factors 0.0 and 0.0 (a file line that ends after b):
  // its M-value is the ambient pressure of the next stop and its ceiling
  // (P - PAIR) x F, here about 20.3 m.
  StartedState s;
  s.st.PN2[5] = 3.0;
  at_depth_with_mixture(s.st, 30.0);
  set_factors(s.st, 5, 0.0, 0.0, 0.0, 0.0);
  s.st.GFFLAG = "V";
  s.st.GFCUR = 0.55;
  DiveState before = s.st;
  vgm_deco_prognosis(s.st, s.p);

  std::vector<std::string> lines = s.lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "  GF FLAG: V   Deko Prognose nach VGM: ");
  EXPECT_EQ(lines[1].substr(0, 30), " 21m Stopp Prognose VGM Deko: ");
  EXPECT_EQ(lines[1].substr(38), "  Komp..: 5 GFHI:  0.00 GFLO:  0.00 GF =  0.00");
  EXPECT_EQ(s.st.DEEPSTOP, 21.0);
  // Seven stops from 21 m to 3 m, and no time to surface.
  EXPECT_EQ(lines.size(), 1u + 7u);
  for (const std::string& line : lines) EXPECT_EQ(line.find("TTS"), std::string::npos);
  EXPECT_EQ(s.st.AMIX, before.AMIX);
  EXPECT_EQ(s.st.BMIX, before.BMIX);
  EXPECT_EQ(s.st.GFCUR, 0.55);
  testing::expect_dive_unchanged(before, s.st);
}

TEST(VgmPrognosis, EqualTensionsOfBothGasesGiveTheMeanOfTheirFactors) {
  StartedState s;
  s.st.PN2[3] = 1.6;
  s.st.PHE[3] = 1.6;
  at_depth_with_mixture(s.st, 20.0);
  set_factors(s.st, 3, 0.9, 0.5, 0.7, 0.3);
  s.st.GFFLAG = "V";
  vgm_deco_prognosis(s.st, s.p);
  std::vector<std::string> lines = s.lines();
  ASSERT_GE(lines.size(), 2u);
  // The leading compartment 3 at the first stop shows its mixed pair and the
  // low factor of that pair.
  EXPECT_EQ(lines[1].substr(38), "  Komp..: 3 GFHI:  0.80 GFLO:  0.40 GF =  0.40") << lines[1];
}

TEST(VgmPrognosis, AFirstStopWithoutLeadingCompartmentShowsNumberZero) {
  // Every compartment lies above the inspired pressure of the 3-m stop and
  // below its surface M-value: every time is negative.
  StartedState s;
  for (int i = 1; i <= COMPARTMENTS; ++i) s.st.PN2[i] = 1.0;
  expect_one_stop(s, 3.0, "  3m Stopp Prognose VGM Deko:      1.0  Komp..: 0 GFHI:  0.00 GFLO:  0.00 GF =  0.00");
}

TEST(VgmPrognosis, ACompartmentWithoutInertGasTakesItsNitrogenFactors) {
  // After a long stay on pure oxygen both tensions are 0: the factors of such
  // a compartment are those of nitrogen, not 0 / 0.
  StartedState s;
  s.st.FO2 = 1.0;
  s.st.FHE = 0.0;
  s.st.FN2 = 0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    s.st.PN2[i] = 0.0;
    s.st.PHE[i] = 0.0;
    set_factors(s.st, i, 0.8, 0.3, 0.6, 0.2);
  }
  expect_one_stop(s, 5.0, "  3m Stopp Prognose VGM Deko:      1.0  Komp..:16 GFHI:  0.80 GFLO:  0.30 GF =  0.30");
}

}  // namespace
}  // namespace orva
