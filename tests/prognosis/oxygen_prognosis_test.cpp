#include "prognosis/oxygen_prognosis.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/depth_time_segment.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "prognosis/pmrc_prognosis.hpp"

namespace orva {
namespace {

using testing::StartedState;

TEST(OxygenPrognosis, WithoutCeilingsOneOxygenStopAtThreeMetresInEachPass) {
  struct Case {
    const char* LATENCY;
    std::vector<std::string> lines;
  } cases[] = {
      {"N",
       {"  OC Deko Prognose, 100% O2 ab 6m:", "  3m Stopp Prognose Dekozeit (100 O2):  1.00", " TTS =    2.00",
        "  OC Deko Prognose, mit Sauerstoff-Korrekturfaktoren:", "  3m Stopp Prognose Dekozeit ( OC ):  1.00",
        " TTS =    2.00"}},
      {"Y",
       {"  OC Deko Prognose, 100% O2 ab 6m:", "  3m Stopp Prognose Dekozeit (100 O2):  6.00", " TTS =    7.00",
        "  OC Deko Prognose, mit Sauerstoff-Korrekturfaktoren:", "  3m Stopp Prognose Dekozeit ( OC ):  6.00",
        " TTS =    7.00"}},
  };
  for (const Case& c : cases) {
    // The surface tensions at 10 m: no compartment has a ceiling.
    StartedState s;
    s.st.DEPTH = 10.0;
    s.st.LATENCY = c.LATENCY;
    oxygen_deco_prognosis(s.st, s.p);
    EXPECT_EQ(s.lines(), c.lines) << "LATENCY " << c.LATENCY;
  }
}

TEST(OxygenPrognosis, CurrentGasFromNineMetresDownOxygenAbove) {
  StartedState s;
  s.st.FN2 = 0.37;
  s.st.FHE = 0.45;
  struct Case {
    std::int64_t s;
    double fN2, fHe;
    std::string_view label;
  } cases[] = {{30, 0.37, 0.45, ""}, {9, 0.37, 0.45, ""}, {6, 0.0, 0.0, "(100 O2)"}, {3, 0.0, 0.0, "(100 O2)"}};
  for (const Case& c : cases) {
    StopGas g = stop_gas_of(OXYGEN_STOP_GASES, c.s, s.st);
    EXPECT_EQ(g.fN2, c.fN2) << c.s << " m";
    EXPECT_EQ(g.fHe, c.fHe) << c.s << " m";
    EXPECT_EQ(gas_band(OXYGEN_STOP_GASES, c.s).label, c.label) << c.s << " m";
  }
}

// After a trimix dive at 60 m: what PMRC and OC leave in DiveState, and the
// switches they ignore.
TEST(PmrcAndOxygenPrognoses, LeaveTheDiveAsItWasAndTheMixtureOfItsTensions) {
  struct Case {
    const char* name;
    void (*run)(DiveState&, Platform&);
    bool oxygen_at_three_metres;  // PIHE 0 after the last stop
  } cases[] = {{"PMRC", pmrc_deco_prognosis, false}, {"OC", oxygen_deco_prognosis, true}};
  for (const Case& c : cases) {
    auto s = std::make_unique<StartedState>(std::vector<std::string>{"60.", "20."});
    s->st.FO2 = 0.18;
    s->st.FHE = 0.45;
    s->st.FN2 = 0.37;
    depth_time_segment(s->st, s->p);
    segment_saturation(s->st, s->p);
    const DiveState before = s->st;
    size_t start = s->lines().size();
    c.run(s->st, s->p);
    std::vector<std::string> first = s->lines();
    first.erase(first.begin(), first.begin() + static_cast<long>(start));
    EXPECT_EQ(s->st.PN2, before.PN2) << c.name;
    EXPECT_EQ(s->st.PHE, before.PHE) << c.name;
    EXPECT_EQ(s->st.PSUM, before.PSUM) << c.name;
    EXPECT_EQ(s->st.CEILM, before.CEILM) << c.name;
    EXPECT_EQ(s->st.PAMBTOL, before.PAMBTOL) << c.name;
    EXPECT_EQ(s->st.DEEPSTOP, before.DEEPSTOP) << c.name;
    EXPECT_EQ(s->st.GFCUR, before.GFCUR) << c.name;
    EXPECT_EQ(s->st.DEPTH, before.DEPTH) << c.name;
    EXPECT_EQ(s->st.DIVETIME, before.DIVETIME) << c.name;
    double PIHE_3m = inspired_inert_pressure(ambient_pressure(before, 3.0), before.RQ, before.FHE);
    EXPECT_EQ(s->st.PIHE, c.oxygen_at_three_metres ? 0.0 : PIHE_3m) << c.name;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      MixedCoefficients mix = mixture_coefficients(before, i);
      EXPECT_EQ(s->st.AMIX[i], mix.a) << c.name << " " << i;
      EXPECT_EQ(s->st.BMIX[i], mix.b) << c.name << " " << i;
    }

    // LASTSTOP, the gradient factors and the surcharge switch change nothing;
    // a second run prints the same lines.
    s->st.LASTSTOP = 9.0;
    s->st.GFFLAG = "S";
    s->st.GFHI = 0.8;
    s->st.GFLO = 0.2;
    s->st.BZFLAG = "Y";
    start = s->lines().size();
    c.run(s->st, s->p);
    std::vector<std::string> second = s->lines();
    second.erase(second.begin(), second.begin() + static_cast<long>(start));
    EXPECT_GE(first.size(), 4u) << c.name;
    EXPECT_EQ(second, first) << c.name;
  }
}

}  // namespace
}  // namespace orva
