#include "prognosis/desaturation.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "prognosis/ndl.hpp"
#include "prognosis/surface_state.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::split_lines;
using testing::surface_state;

TEST(ShownTime, UnitsAndLimits) {
  struct Case {
    double minutes, value;
    const char* unit;
  } cases[] = {
      {-3.0, 0.0, " -- "},    {0.0, 0.0, " -- "},    {0.004, 0.004, "min."},
      {99.99, 99.99, "min."}, {120.0, 120.0, "min."}, {120.01, 2.0001666666666669, "  h."},
      {7200.0, 120.0, "  h."},
  };
  for (const Case& c : cases) {
    ShownTime t = shown_time(c.minutes);
    EXPECT_EQ(t.value, c.value) << c.minutes;
    EXPECT_EQ(t.unit, c.unit) << c.minutes;
  }
}

// Lines expected from an independent evaluation of the rules.
TEST(DesaturationAndFlyTimes, CompartmentsThatNeverOrAlreadyReachTheTarget) {
  struct Case {
    const char* what;
    double FO2, FHE, FN2;
    std::vector<std::pair<int, double>> PN2;
    std::vector<std::string> lines;  // compartments 1, 2, 3, ... as far as given
  } cases[] = {
      {"air: 3 below the surface inspired pressure, 4 below 0.8 bar",
       0.2095,
       0.000005,
       0.7902,
       {{3, 0.7}, {4, 0.78}},
       {" I: 1  Entsaettigungszeit:    0.06 min.       Zeit bis Flug:    0.00  -- ",
        " I: 2  Entsaettigungszeit:    0.11 min.       Zeit bis Flug:    0.00  -- ",
        " I: 3  Entsaettigungszeit:   99.99 min.       Zeit bis Flug:   99.99 min.",
        " I: 4  Entsaettigungszeit:    0.00  --        Zeit bis Flug:    0.00  -- "}},
      {"5 % oxygen: the surface inspired pressure lies above 0.8 bar",
       0.05,
       0.0,
       0.95,
       {{1, 1.2}},
       {" I: 1  Entsaettigungszeit:   99.99 min.       Zeit bis Flug:    0.00  -- ",
        " I: 2  Entsaettigungszeit:   99.99 min.       Zeit bis Flug:   99.99 min."}},
  };
  for (const Case& c : cases) {
    DiveState st = surface_state();
    st.FO2 = c.FO2, st.FHE = c.FHE, st.FN2 = c.FN2;
    for (auto [i, P] : c.PN2) st.PN2[i] = P;
    std::vector<std::string> out = split_lines(console_of(desaturation_and_fly_times, st));
    ASSERT_EQ(out.size(), 16u) << c.what;
    for (size_t n = 0; n < c.lines.size(); ++n) EXPECT_EQ(out[n], c.lines[n]) << c.what;
  }
}

// A compartment saturated at the surface (its tension equal to the surface
// inspired pressure) does not off-gas: it never reaches either target. Just
// above the inspired pressure it off-gases and is already below both targets.
TEST(DesaturationAndFlyTimes, TensionAtTheSurfaceInspiredPressure) {
  const double PI_SURFACE = 0.75069475;  // air at 1.013 bar, both gases
  const std::string never = " I: 3  Entsaettigungszeit:   99.99 min.       Zeit bis Flug:   99.99 min.";
  const std::string below_both = " I: 3  Entsaettigungszeit:    0.00  --        Zeit bis Flug:    0.00  -- ";
  struct Case {
    const char* what;
    double P;
    std::string line;
  } cases[] = {
      {"just below", std::nextafter(PI_SURFACE, 0.0), never},
      {"equal", PI_SURFACE, never},
      {"just above", std::nextafter(PI_SURFACE, 9.0), below_both},
  };
  DiveState air = surface_state();
  ASSERT_EQ(inspired_gas_pressure(air, air.PAIR), PI_SURFACE);
  for (const Case& c : cases) {
    DiveState st = surface_state();
    st.PN2[3] = c.P;
    st.PHE[3] = 0.0;
    std::vector<std::string> out = split_lines(console_of(desaturation_and_fly_times, st));
    ASSERT_EQ(out.size(), 16u) << c.what;
    EXPECT_EQ(out[2], c.line) << c.what;
  }
}

TEST(DesaturationAndFlyTimes, RefusedAtDepth) {
  DiveState st = surface_state();
  st.DEPTH = 3.0;
  st.AMIX.fill(7.0);
  EXPECT_EQ(console_of(desaturation_and_fly_times, st), "   Zuerst ganz austauchen!\n");
  EXPECT_EQ(st.AMIX[1], 7.0);
}

}  // namespace
}  // namespace orva
