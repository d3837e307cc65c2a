// What M, V, R and BP leave in the state; the screen text is in the
// transcripts gas-mix-switches and amv-rq-ballpark-answers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/started_state.hpp"
#include "shell/gas_settings.hpp"
#include "shell/settings_cases.hpp"

namespace orva {
namespace {

using testing::state_after;
using testing::ValueCase;

struct GasCase {
  const char* typed;
  double FO2, FHE, FN2;
};

// The nitrogen fraction is (1 - fO2) - fHe rounded once from binary128: in
// double arithmetic 0.001/0.065 would give 0.9339999999999999 and
// 0.063/0.937 would give 0.
TEST(GasMix, StoresTheFractionsAndTheNitrogenRest) {
  const GasCase cases[] = {
      {"M\n0.001\n0.065\n", 0.001, 0.065, 0.934},
      {"M\n0.063\n0.937\n", 0.063, 0.937, -0x1p-54},
      {"M\n21\n0.35\n", 0.021, 0.35, 0.629},
      {"M\n1.\n\n", 1.0, 0.0, 0.0},
      {"M\n0.75\n0.25\n", 0.75, 0.25, 0.0},
      // Refused answers leave nothing behind; only fHe is asked again.
      {"M\n0\n1.5\n0.5\n0.5001\n0.5\n", 0.5, 0.5, 0.0},
  };
  for (const GasCase& c : cases) {
    DiveState st = state_after(c.typed);
    EXPECT_EQ(st.FO2, c.FO2) << c.typed;
    EXPECT_EQ(st.FHE, c.FHE) << c.typed;
    EXPECT_EQ(st.FN2, c.FN2) << c.typed;
  }
}

// The isobaric counterdiffusion warning grades the change of the nitrogen
// fraction at 0.22, 0.5 and 0.66, bounds in binary128: the doubles nearest
// 0.22 and 0.66 lie just above their bounds and warn at the higher level, the
// double below them at the lower one. The switch to fO2 0.5, fHe 0.5 leaves
// no nitrogen, so the change is exactly the nitrogen fraction before it.
TEST(GasMix, GradesTheCounterdiffusionWarningByTheChangeOfNitrogen) {
  struct Case {
    const char* what;
    double old_FN2, old_FHE;
    const char *FO2, *FHE;
    const char* warning;  // "" for none
  };
  const Case cases[] = {
      {"below 0.22", std::nextafter(0.22, 0.0), 0.0, "0.5", "0.5", ""},
      {"0.22", 0.22, 0.0, "0.5", "0.5", "  ICD Warning, Level I !"},
      {"below 0.5", std::nextafter(0.5, 0.0), 0.0, "0.5", "0.5", "  ICD Warning, Level I !"},
      {"0.5", 0.5, 0.0, "0.5", "0.5", "  ICD Warning, Level II !!"},
      {"below 0.66", std::nextafter(0.66, 0.0), 0.0, "0.5", "0.5", "  ICD Warning, Level II !!"},
      {"0.66", 0.66, 0.0, "0.5", "0.5", "  ICD Warning, Level III !!!"},
      // From the start gas to trimix 18/65: a change of 0.6202.
      {"air to 18/65", 0.7902, 0.000005, "0.18", "0.65", "  ICD Warning, Level II !!"},
  };
  for (const Case& c : cases) {
    testing::StartedState s({c.FO2, c.FHE});
    s.st.FN2 = c.old_FN2;
    s.st.FHE = c.old_FHE;
    set_gas_mix(s.st, s.p);
    const std::vector<std::string> lines = s.lines();
    size_t delta = 0;
    while (delta < lines.size() && lines[delta].find("Delta Fraction N2=") == std::string::npos) ++delta;
    ASSERT_LT(delta, lines.size()) << c.what;
    const std::vector<std::string> after(lines.begin() + static_cast<long>(delta) + 1, lines.end());
    const std::vector<std::string> expected =
        *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{};
    EXPECT_EQ(after, expected) << c.what << ":" << lines[delta];
  }
}

TEST(PhysiologySettings, KeepOnlyTheAcceptedAnswer) {
  const ValueCase cases[] = {
      {"V\n\n100\n99\n0.4\n0.5\n", &DiveState::AMV, 0.5},
      {"V\n25\n", &DiveState::AMV, 25.0},
      {"V\n98.\n", &DiveState::AMV, 98.0},
      {"R\n8\n2.0001\n0.29\n0.8\n", &DiveState::RQ, 0.8},
      {"R\n2.0\n", &DiveState::RQ, 2.0},
      // The double nearest 0.3 lies below the binary128 bound 0.3.
      {"R\n0.3\n0.3001\n", &DiveState::RQ, 0.3001},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(state_after(c.typed).*c.field, c.expected) << c.typed;
}

TEST(BallPark, SetsTheRuleOfThumbValuesAndKeepsHelium) {
  DiveState st = state_after("M\n0.32\n0.1\nBP\n");
  EXPECT_EQ(st.FN2, 0.8);
  EXPECT_EQ(st.FO2, 0.2);
  EXPECT_EQ(st.FHE, 0.1);
  EXPECT_EQ(st.AMV, 20.0);
  EXPECT_EQ(st.PAIR, 1.0);
  EXPECT_EQ(st.ASCRATE, 10.0);
  EXPECT_EQ(st.RHO, 1000.0);
  EXPECT_EQ(st.GRAV, 10.0);
  // Untouched by BP.
  EXPECT_EQ(st.RQ, 1.0);
  EXPECT_EQ(st.TWATER, 20.0);
  EXPECT_EQ(state_after("BP\n").FHE, 0.000005);
}

}  // namespace
}  // namespace orva
