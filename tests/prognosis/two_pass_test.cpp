#include "prognosis/two_pass.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "model/depth_time_segment.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "prognosis/accelerated_prognosis.hpp"
#include "prognosis/corrected_accelerated.hpp"

namespace orva {
namespace {

using testing::StartedState;

TEST(AirBreakMinutes, FiveForEveryFifteenPrintedMinutesPlusOne) {
  struct Case {
    double Tr;
    std::int64_t AB;
  } cases[] = {{1.0, 0}, {14.0, 0}, {15.0, 6}, {29.0, 6}, {30.0, 11}, {44.0, 11}, {45.0, 16}, {120.0, 41}};
  for (const Case& c : cases) EXPECT_EQ(air_break_minutes(c.Tr), c.AB) << "Tr = " << c.Tr;
}

TEST(StopMinutesWithLatency, WholeMinutesPlusOneAndFiveWithLatency) {
  struct Case {
    double T;
    const char* LATENCY;
    double Tr;
  } cases[] = {
      {0.0, "N", 1.0},  {0.0, "Y", 6.0},   {2.0, "N", 3.0},    {2.999, "N", 3.0},
      {8.99, "Y", 14.0},  // just below an air break
      {9.0, "Y", 15.0},   // from 9 minutes on LATENCY makes it a stop with an air break
      {9.99, "Y", 15.0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(stop_minutes_with_latency(c.T, c.LATENCY), c.Tr) << "T = " << c.T << ", LATENCY " << c.LATENCY;
}

TEST(OxygenCorrected, DividesByTheBinary128OneThirtyFiveAndRoundsOnce) {
  // Rate constants of the nitrogen half-times 4 and 18.5 min; at 18.5 min the
  // double division by 1.35 would end in ...073.
  EXPECT_EQ(oxygen_corrected(rate_constant(4.0)), 0.12836058899258246);
  EXPECT_EQ(oxygen_corrected(rate_constant(18.5)), 0.027753640863261077);
}

TEST(StopGases, BandsOfTheAcceleratedAndTheCorrectedSchedules) {
  StartedState s;
  s.st.FN2 = 0.37;
  s.st.FHE = 0.45;
  struct Case {
    std::int64_t s;
    double fN2, fHe;
    std::string_view label;
  } accelerated[] = {
      {30, 0.37, 0.45, ""}, {24, 0.37, 0.45, ""}, {21, 0.5, 0.0, "(EAN 50)"}, {18, 0.5, 0.0, "(EAN 50)"},
      {15, 0.5, 0.0, "(EAN 75)"}, {9, 0.5, 0.0, "(EAN 75)"}, {6, 0.02, 0.0, "(100 O2)"}, {3, 0.02, 0.0, "(100 O2)"},
  },
    corrected[] = {
        {20, 0.37, 0.45, ""}, {15, 0.37, 0.45, ""}, {10, 0.3, 0.0, "(100 O2)"}, {5, 0.3, 0.0, "(100 O2)"},
    };
  auto check = [&](std::span<const GasBand> bands, const Case& c) {
    StopGas g = stop_gas_of(bands, c.s, s.st);
    EXPECT_EQ(g.fN2, c.fN2) << c.s << " m";
    EXPECT_EQ(g.fHe, c.fHe) << c.s << " m";
    EXPECT_EQ(gas_band(bands, c.s).label, c.label) << c.s << " m";
  };
  for (const Case& c : accelerated) check(ACCELERATED_GASES, c);
  for (const Case& c : corrected) check(CORRECTED_GASES, c);
}

// The accelerated schedule with the unrounded time of every stop kept aside.
class RecordingAccelerated final : public TwoPassPrognosis {
 public:
  RecordingAccelerated()
      : TwoPassPrognosis(3, ACCELERATED_GASES, {R"(" ", "1")", R"(" ", "2")", "F8.1", "F8.1"}) {}
  struct Stop {
    std::int64_t s;
    double T;
  };
  std::vector<Stop> stops[3];
  void stop_line(Schedule& w) override {
    stops[pass].push_back({w.s, w.T});
    TwoPassPrognosis::stop_line(w);
  }
};

TEST(TwoPasses, TheCorrectedPassTakesOneThirtyFiveTimesAsLongAtTheSameStops) {
  // 70 m for 30 min on 18 % oxygen and 45 % helium: stops from 27 m.
  StartedState s({"70.", "30."});
  s.st.FO2 = 0.18;
  s.st.FHE = 0.45;
  s.st.FN2 = 0.37;
  depth_time_segment(s.st, s.p);
  segment_saturation(s.st, s.p);
  RecordingAccelerated ad;
  run_two_passes(ad, s.st, s.p);

  ASSERT_EQ(ad.stops[1].size(), 9u);
  ASSERT_EQ(ad.stops[2].size(), ad.stops[1].size());
  EXPECT_EQ(ad.stops[1].front().s, 27);
  for (size_t k = 0; k < ad.stops[1].size(); ++k) {
    EXPECT_EQ(ad.stops[2][k].s, ad.stops[1][k].s);
    // Every rate constant divided by 1.35 stretches the time of every stop
    // and leaves the tensions after it the same.
    EXPECT_NEAR(ad.stops[2][k].T, 1.35 * ad.stops[1][k].T, 1e-9 * ad.stops[1][k].T) << ad.stops[1][k].s << " m";
  }
}

TEST(AcceleratedPrognosis, WithoutCeilingsOneThreeMetreStopInEachPass) {
  struct Case {
    const char* LATENCY;
    std::vector<std::string> lines;
  } cases[] = {
      {"N",
       {"  Accelerated Deko Prognose:", "  3m Stopp Prognose Dekozeit (100 O2):     1.0", " TTS =      2.0",
        "  AD Deko Prognose, mit Sauerstoff-Korrekturfaktoren:", "  3m Stopp Prognose Dekozeit ( OC ):     1.0",
        " TTS =      2.0"}},
      {"Y",
       {"  Accelerated Deko Prognose:", "  3m Stopp Prognose Dekozeit (100 O2):     6.0", " TTS =      7.0",
        "  AD Deko Prognose, mit Sauerstoff-Korrekturfaktoren:", "  3m Stopp Prognose Dekozeit ( OC ):     6.0",
        " TTS =      7.0"}},
  };
  for (const Case& c : cases) {
    // The surface tensions at 10 m: no compartment has a ceiling.
    StartedState s;
    s.st.DEPTH = 10.0;
    s.st.LATENCY = c.LATENCY;
    accelerated_deco_prognosis(s.st, s.p);
    EXPECT_EQ(s.lines(), c.lines) << "LATENCY " << c.LATENCY;
  }
}

TEST(CorrectedAcceleratedPrognosis, WithoutCeilingsOneFiveMetreStopInEachPass) {
  StartedState s;
  s.st.DEPTH = 3.5;
  corrected_accelerated_schedules(s.st, s.p, {1.5, 1.5, 1.5});
  std::vector<std::string> expected = {
      "  Accelerated Deko Prognose:",
      "  5m Stopp Prognose Dekozeit (100 O2):  1.00",
      " TTS =    1.00",
      "  AD Deko Prognose, mit Sauerstoff-Korrekturfaktoren:",
      "  5m Stopp Prognose Dekozeit ( OC ):  1.00",
      " TTS =    1.00",
  };
  EXPECT_EQ(s.lines(), expected);
}

// After a deep air dive: what the two-pass prognoses leave in DiveState, and
// the switches they ignore.
TEST(TwoPasses, LeaveTheDiveAsItWasAndTheMixtureOfItsTensions) {
  auto dived = [] {
    auto s = std::make_unique<StartedState>(std::vector<std::string>{"45.", "30."});
    depth_time_segment(s->st, s->p);
    segment_saturation(s->st, s->p);
    return s;
  };
  auto run_ad = [](DiveState& st, Platform& p) { accelerated_deco_prognosis(st, p); };
  auto run_tbm = [](DiveState& st, Platform& p) { corrected_accelerated_schedules(st, p, {2.0, 2.5, 1.7}); };
  for (auto run : {+run_ad, +run_tbm}) {
    auto s = dived();
    const DiveState before = s->st;
    size_t start = s->lines().size();
    run(s->st, s->p);
    std::vector<std::string> first = s->lines();
    first.erase(first.begin(), first.begin() + static_cast<long>(start));
    EXPECT_EQ(s->st.PN2, before.PN2);
    EXPECT_EQ(s->st.PHE, before.PHE);
    EXPECT_EQ(s->st.PSUM, before.PSUM);
    EXPECT_EQ(s->st.CEILM, before.CEILM);
    EXPECT_EQ(s->st.PAMBTOL, before.PAMBTOL);
    EXPECT_EQ(s->st.DEEPSTOP, before.DEEPSTOP);
    EXPECT_EQ(s->st.GFCUR, before.GFCUR);
    EXPECT_EQ(s->st.DEPTH, before.DEPTH);
    EXPECT_EQ(s->st.DIVETIME, before.DIVETIME);
    EXPECT_EQ(s->st.PIHE, 0.0);
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      MixedCoefficients mix = mixture_coefficients(before, i);
      EXPECT_EQ(s->st.AMIX[i], mix.a) << i;
      EXPECT_EQ(s->st.BMIX[i], mix.b) << i;
    }

    // LASTSTOP, the gradient factors and the surcharge switch change nothing;
    // a second run prints the same lines.
    s->st.LASTSTOP = 9.0;
    s->st.GFFLAG = "S";
    s->st.GFHI = 0.8;
    s->st.GFLO = 0.2;
    s->st.BZFLAG = "Y";
    start = s->lines().size();
    run(s->st, s->p);
    std::vector<std::string> second = s->lines();
    second.erase(second.begin(), second.begin() + static_cast<long>(start));
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(second, first);
  }
}

}  // namespace
}  // namespace orva
