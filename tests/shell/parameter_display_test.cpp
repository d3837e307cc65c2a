#include "shell/parameter_display.hpp"

#include <gtest/gtest.h>

#include "model/coefficient_bench.hpp"
#include "model/n2_coefficients.hpp"
#include "platform/console.hpp"

namespace orva {
namespace {

using testing::TempHome;

std::vector<std::string> display(DiveState& st) {
  TempHome home;
  return testing::split_lines(bench::console_of(parameter_display, st, home, {""}));
}

TEST(ParameterDisplay, OxygenPressureHasNoDepthSurcharge) {
  DiveState st = bench::started_state();
  st.DEPTH = 30.0;
  st.FO2 = 0.32;
  st.BZFLAG = "Y";
  std::vector<std::string> lines = display(st);
  // (30 x RG + 1.013) x 0.32; with the surcharge it would be 1.32362 bar.
  EXPECT_EQ(lines[6], "  pO2:   1.26409 [bar]  |  [atm]: 1.24756");
  EXPECT_EQ(lines[23], "  Buehlmann Zuschlag:  Y       numerische Loesung: OFF ");
}

TEST(ParameterDisplay, ValuesTooWideForTheirFieldsShowAsterisks) {
  DiveState st = bench::started_state();
  st.KCNS = 123456.4;
  st.KPOT = 1.0e7;
  st.ESOT = 12.345678;
  std::vector<std::string> lines = display(st);
  EXPECT_EQ(lines[10], "  K Values  CNS-OT:    123456.   P-OT: *******  ESOT:   12.35");
}

TEST(ParameterDisplay, FollowsTheDensityOfTheDciemSet) {
  TempHome home;
  DiveState st = bench::started_state();
  bench::console_of(n2_coefficient_choice, st, home, {"13"});
  std::vector<std::string> lines = display(st);
  EXPECT_EQ(lines[1], "  Wasserdichte: 1025.000  Wassertemperatur:   20.00");
  EXPECT_EQ(lines[21], "  N2 Koeff.-Matrix: ES-L 16D   He Koeff.-Matrix: ZH-L 16C  ");
  EXPECT_EQ(lines[25], "  Konversions Faktor aktuell: 1 Bar=   32.63918 fsw (feet of seawater)");
}

TEST(ParameterDisplay, TheTableFollowsOnlyAfterEnter) {
  TempHome home;
  DiveState st = bench::started_state();
  testing::FakePlatform p({}, home.path());
  EXPECT_THROW(parameter_display(st, p), EndOfInput);
  EXPECT_TRUE(p.output().ends_with("  Konversions Faktor aktuell: 1 Bar=   33.50867 fsw (feet of seawater)\n"
                                   "         ... weiter mit: ENTER\n\n\n"))
      << p.output();
}

TEST(ParameterDisplay, TheTableShowsTheStoredValues) {
  DiveState st = bench::started_state();
  st.PN2[3] = 3.14159;
  st.PHE[3] = 0.5;
  st.PSUM[3] = 9.87654;  // as stored, not recomputed
  st.CEILM[3] = 12.3456;
  st.PAMBTOL[3] = 1.98765;
  std::vector<std::string> lines = display(st);
  ASSERT_EQ(lines.size(), 47u);
  EXPECT_EQ(lines[33], "  Nr.:  3 3.1416 P N2  0.5000 P HE Sum.=  9.8765 Ceil. m=  12.35 Putol:  1.988");
}

}  // namespace
}  // namespace orva
