#include "prognosis/gf_prognosis.hpp"

#include <gtest/gtest.h>

#include "prognosis/variant_fixtures.hpp"

namespace orva {
namespace {

using testing::AirDive;
using testing::at_depth_with_mixture;
using testing::StartedState;

TEST(GfLine, RunsFromTheLowFactorAtTheFirstStopToTheHighOneAtTheSurface) {
  struct Case {
    double hi, lo, DEEPSTOP;
    std::int64_t s;
    double gf;
  } cases[] = {
      {0.85, 0.30, 21.0, 21, 0.30},  // the first stop: GFLO to rounding
      {0.85, 0.30, 21.0, 0, 0.85},   // the surface
      {0.85, 0.30, 21.0, 3, 0.85 - 0.55 * 3.0 / 21.0},
      {1.00, 0.50, 15.0, 9, 0.70},
      {0.70, 0.70, 30.0, 12, 0.70},  // one pair: the same factor at every stop
      {0.40, 0.80, 12.0, 6, 0.60},   // GFLO above GFHI: the factor falls
  };
  for (const Case& c : cases)
    EXPECT_NEAR(gf_line(c.hi, c.lo, c.DEEPSTOP, c.s), c.gf, 1e-15) << c.hi << "/" << c.lo << " at " << c.s;

  // The form with the global pair and the first stop of DiveState.
  StartedState s;
  s.st.GFHI = 0.9;
  s.st.GFLO = 0.3;
  s.st.DEEPSTOP = 18.0;
  EXPECT_EQ(gf_line(s.st, 6), gf_line(0.9, 0.3, 18.0, 6));
  EXPECT_EQ(gf_line(s.st, 0), 0.9);
}

TEST(GfPrognosis, KeepsTheMixtureAndTensionsAndLeavesItsFirstStopAndLastFactor) {
  // 40 m for 25 min on air, A to 15 m, GF 1.0 / 0.5: the plain prognosis
  // starts at 6 m, this one at 15 m.
  AirDive d({"40.", "25.", "15."});
  d.st.GFHI = 1.0;
  d.st.GFLO = 0.5;
  d.st.GFFLAG = "S";
  ASSERT_EQ(d.st.DEEPSTOP, 6.0);
  DiveState before = d.st;
  gf_deco_prognosis(d.st, d.p);

  std::vector<std::string> expected = {
      "  Deko Prognose mit Gradientenfaktoren:  GFHI=   1.00 GFLO=   0.50",
      " 15m Stopp Prognose Dekozeit:     1.0  GF =   0.50  Komp.#:  2",
      " 12m Stopp Prognose Dekozeit:     3.0  GF =   0.60  Komp.#:  3",
      "  9m Stopp Prognose Dekozeit:     4.0  GF =   0.70  Komp.#:  4",
      "  6m Stopp Prognose Dekozeit:     6.0  GF =   0.80  Komp.#:  5",
      "  3m Stopp Prognose Dekozeit:    16.0  GF =   0.90  Komp.#:  6",
      " TTS =     31.0",
  };
  EXPECT_EQ(d.lines_from(expected[0]), expected);
  EXPECT_EQ(d.st.DEEPSTOP, 15.0);
  EXPECT_EQ(d.st.GFCUR, gf_line(1.0, 0.5, 15.0, 3));
  EXPECT_EQ(d.st.AMIX, before.AMIX);
  EXPECT_EQ(d.st.BMIX, before.BMIX);
  testing::expect_dive_unchanged(before, d.st);
  // PIHE: the inspired helium of the 3-m stop on air.
  EXPECT_EQ(d.st.PIHE, inspired_inert_pressure(3.0 * pressure_per_metre(d.st.RHO, d.st.GRAV) + d.st.PAIR,
                                               d.st.RQ, d.st.FHE));
}

TEST(GfPrognosis, SmallSchedules) {
  // The tensions of the program start at DEPTH 10 m: no ceiling, one stop at
  // 3 m that no compartment needs.
  struct Case {
    const char* what;
    double ASCRATE, GFHI, GFLO, GFCUR;
    const char* GFFLAG;
    std::vector<std::string> lines;
    double GFCUR_after;
  } cases[] = {
      {"no ascent allowance in the minutes, even at 1 m/min", 1.0, 0.8, 0.4, 0.0, "S",
       {"  Deko Prognose mit Gradientenfaktoren:  GFHI=   0.80 GFLO=   0.40",
        "  3m Stopp Prognose Dekozeit:     1.0  GF =   0.40  Komp.#: 16",
        " TTS =     11.0"},
       gf_line(0.8, 0.4, 3.0, 3)},
      {"another mode letter leaves GFCUR as it was", 9.0, 0.8, 0.4, 0.77, "N",
       {"  Deko Prognose mit Gradientenfaktoren:  GFHI=   0.80 GFLO=   0.40",
        "  3m Stopp Prognose Dekozeit:     1.0  GF =   0.77  Komp.#: 16",
        " TTS =      2.0"},
       0.77},
  };
  for (const Case& c : cases) {
    StartedState s;
    at_depth_with_mixture(s.st, 10.0);
    s.st.ASCRATE = c.ASCRATE;
    s.st.GFHI = c.GFHI;
    s.st.GFLO = c.GFLO;
    s.st.GFCUR = c.GFCUR;
    s.st.GFFLAG = c.GFFLAG;
    gf_deco_prognosis(s.st, s.p);
    EXPECT_EQ(s.lines(), c.lines) << c.what;
    EXPECT_EQ(s.st.GFCUR, c.GFCUR_after) << c.what;
    EXPECT_EQ(s.st.DEEPSTOP, 3.0) << c.what;
  }
}

TEST(GfPrognosis, StopsOfAHundredMetresAndDeeperDoNotFitTheDepthField) {
  StartedState s;
  s.st.PN2[1] = 25.0;  // a ceiling near 112 m: the first stop at 114 m
  at_depth_with_mixture(s.st, 120.0);
  s.st.GFHI = s.st.GFLO = 1.0;
  s.st.GFFLAG = "S";
  gf_deco_prognosis(s.st, s.p);
  std::vector<std::string> lines = s.lines();
  ASSERT_EQ(lines.size(), 1u + 38u + 1u);  // heading, 114 m to 3 m, TTS
  EXPECT_EQ(lines[1].substr(0, 10), " **m Stopp");
  EXPECT_EQ(lines[5].substr(0, 10), " **m Stopp");  // 102 m
  EXPECT_EQ(lines[6].substr(0, 10), " 99m Stopp");
  EXPECT_EQ(s.st.DEEPSTOP, 114.0);
}

// A schedule as the accelerated prognoses build on this one: oxygen at 6 m
// and 3 m, every stop printed with its own depth.
class OxygenShallow final : public GradientFactorPrognosis {
 public:
  static constexpr Parameters OWN_DEPTHS = [] {
    Parameters prm = GradientFactorPrognosis::PARAMETERS;
    prm.laststop_depth_printed = false;
    return prm;
  }();
  OxygenShallow() : GradientFactorPrognosis(OWN_DEPTHS) {}
  StopGas stop_gas(const Schedule& w) override {
    return w.s <= 6 ? StopGas{0.02, 0.0} : GradientFactorPrognosis::stop_gas(w);
  }
};

TEST(GfPrognosis, ServesAsTheBaseOfSchedulesOnOtherGases) {
  struct Run {
    bool oxygen;
    std::vector<std::string> lines;
  } runs[] = {{false, {}}, {true, {}}};
  for (Run& r : runs) {
    AirDive d({"40.", "25.", "15."});
    d.st.GFHI = 1.0;
    d.st.GFLO = 0.5;
    d.st.GFFLAG = "S";
    d.st.LASTSTOP = 7.5;
    if (r.oxygen) {
      OxygenShallow v;
      run_schedule(v, d.st, d.p);
    } else {
      gf_deco_prognosis(d.st, d.p);
    }
    r.lines = d.lines_from("  Deko Prognose mit Gradientenfaktoren:  GFHI=   1.00 GFLO=   0.50");
  }
  // 15, 12, 9 and 6 m; the 6-m stop ends the schedule under the LASTSTOP rule.
  ASSERT_EQ(runs[0].lines.size(), 6u);
  ASSERT_EQ(runs[1].lines.size(), 6u);
  EXPECT_EQ(runs[0].lines[4].substr(0, 10), "  7m Stopp");
  EXPECT_EQ(runs[1].lines[4].substr(0, 10), "  6m Stopp");
  // The same deep stops; oxygen shortens the 6-m stop.
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(runs[1].lines[k], runs[0].lines[k]);
  auto minutes = [](const std::string& line) { return std::stod(line.substr(29, 8)); };
  EXPECT_LT(minutes(runs[1].lines[4]), minutes(runs[0].lines[4]));
}

}  // namespace
}  // namespace orva
