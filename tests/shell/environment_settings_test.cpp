// What L, DI, TE, LS, AR, GF, LAT and O2 leave in the state; the screen text
// is in the transcripts environment-settings-answers, water-temperature-tables
// and gradient-factor-answers.
#include <gtest/gtest.h>

#include <string>

#include "shell/environment_settings.hpp"
#include "shell/settings_cases.hpp"
#include "support/fake_platform.hpp"

namespace orva {
namespace {

using testing::FakePlatform;
using testing::state_after;
using testing::ValueCase;
using testing::TempHome;

TEST(EnvironmentSettings, KeepOnlyTheAcceptedAnswer) {
  const ValueCase cases[] = {
      {"L\n1005\n1.005\n", &DiveState::PAIR, 1.005},
      {"L\n0.3999\n0.4\n", &DiveState::PAIR, 0.4},
      {"L\n1.5001\n1.5\n", &DiveState::PAIR, 1.5},
      {"LS\n1.0\n\n1.0001\n", &DiveState::LASTSTOP, 1.0001},
      {"LS\n9.0001\n9.0\n", &DiveState::LASTSTOP, 9.0},
      {"AR\n8,5\n250.0\n8.5\n", &DiveState::ASCRATE, 8.5},
      {"AR\n10\n", &DiveState::ASCRATE, 0.0001},
      {"AR\n250\n", &DiveState::ASCRATE, 0.0025},
      {"O2\n4.9\n240.1\n240\n", &DiveState::O2HWZ, 24.0},
      {"O2\n5.0\n", &DiveState::O2HWZ, 5.0},
      {"O2\n240.0\n", &DiveState::O2HWZ, 240.0},
      {"DI\n1025\n1400.\n1025.2\n", &DiveState::RHO, 1025.2},
      {"DI\n800.\n", &DiveState::RHO, 800.0},
      {"TE\n18\n", &DiveState::TWATER, 0.18},
      {"TE\n35.0\n34.99\n", &DiveState::TWATER, 34.99},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(state_after(c.typed).*c.field, c.expected) << c.typed;
}

// The density of the Kell equation with its binary128 steps, bit for bit.
TEST(WaterTemperature, SetsTheDensityOfTheTemperature) {
  const ValueCase cases[] = {
      {"TE\n10.0\n", &DiveState::RHO, 0x1.f3ef0342b68a1p+9},  // 999.867287005549
      {"TE\n\n", &DiveState::RHO, 0x1.f40477dd872f4p+9},      // 0 degrees: 1000.0349080000001
      {"TE\n18\n", &DiveState::RHO, 0x1.f405ec8a4f195p+9},    // 0.18 degrees
      {"TE\n34.99\n", &DiveState::RHO, 0x1.f11434bd3f7a2p+9},
      // 20 degrees is the density as it was.
      {"TE\n20.0\n", &DiveState::RHO, 998.403},
      {"DI\n1025.2\nTE\n20.0\n", &DiveState::RHO, 1025.2},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(state_after(c.typed).*c.field, c.expected) << c.typed;
}

struct GradientCase {
  const char* flag_before;
  std::vector<std::string> typed;
  double GFHI, GFLO;
  const char* flag_after;
};

TEST(GradientFactors, SetTheFactorsAndTheModeFlag) {
  const GradientCase cases[] = {
      {"N", {"0.3", "0.8"}, 0.3, 0.8, "S"},
      {"N", {"1.5001", "0", "", "1.0", "-0.1", "0.5"}, 1.0, 0.5, "S"},
      {"N", {"0.9", ""}, 0.9, 1.0, "S"},
      {"N", {"1", "1"}, 0.0001, 0.0001, "S"},  // no decimal point: 0.0001
      {"S", {"1.0", ""}, 1.0, 1.0, "N"},
      {"V", {"1.0", "1.0"}, 1.0, 1.0, "N"},
      {"S", {"1.2", "1.2"}, 1.2, 1.2, "S"},
      {"V", {"1.5", "1.5"}, 1.5, 1.5, "V"},
      {"V", {"1.0", "1.2"}, 1.0, 1.2, "V"},
      {"N", {"1.2", "1.2"}, 1.2, 1.2, "N"},
      {"V", {"1.2", "0.9"}, 1.2, 0.9, "S"},
  };
  for (const GradientCase& c : cases) {
    TempHome home(false);
    FakePlatform p(c.typed, home.path());
    DiveState st;
    st.GFFLAG = c.flag_before;
    set_gradient_factors(st, p);
    EXPECT_EQ(st.GFHI, c.GFHI) << c.flag_before << " " << c.typed[0];
    EXPECT_EQ(st.GFLO, c.GFLO) << c.flag_before << " " << c.typed[0];
    EXPECT_EQ(st.GFFLAG, c.flag_after) << c.flag_before << " " << c.typed[0];
    EXPECT_EQ(p.unread(), 0u);
  }
}

TEST(Latency, TogglesAndSetsAnyOtherValueToOffSilently) {
  EXPECT_EQ(state_after("LAT\n").LATENCY, "Y");
  EXPECT_EQ(state_after("LAT\nlat\n").LATENCY, "N");

  TempHome home(false);
  FakePlatform p({}, home.path());
  DiveState st;
  st.LATENCY = "X";
  toggle_latency(st, p);
  EXPECT_EQ(st.LATENCY, "N");
  EXPECT_EQ(p.output(), "");
}

}  // namespace
}  // namespace orva
