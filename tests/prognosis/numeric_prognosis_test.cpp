#include "prognosis/numeric_prognosis.hpp"

#include <gtest/gtest.h>

#include <deque>

#include "prognosis/variant_fixtures.hpp"

namespace orva {
namespace {

using testing::AirDive;
using testing::at_depth_with_mixture;
using testing::StartedState;

TEST(NumericStepCount, IsSixHundredMinutesInSteps) {
  struct Case {
    double h;
    std::int64_t N;
  } cases[] = {
      {0.5, 1200},
      {0.01, 60000},
      {0.000001, 600000000},  // "1" typed without a decimal point
      {0.3, 2000},            // 600 / 0.29999999999999998890 rounds to 2000 in double
      {0.7, 857},
      {600.0, 1},
      {600.5, 0},  // above 600: no step at all
  };
  for (const Case& c : cases) EXPECT_EQ(numeric_step_count(c.h), c.N) << "h = " << c.h;
}

TEST(StepSearch, CountsTheStepAtWhichTheToleratedPressureFallsBelowTheTarget) {
  // Air at 6 m: nitrogen inspired 1.3 bar; the target is the 3-m pressure.
  const double PiN2 = 1.3, PiHe = 0.0, KN2 = rate_constant(27.0), KHE = rate_constant(10.21);
  const double AN2 = 0.62, AHE = 0.922, BN2 = 0.8126, BHE = 0.7852;
  const quad Pnext = q(1.3069);

  // A compartment that already tolerates the target: one step.
  StepSearch r = step_search(1.2, 0.0, PiN2, PiHe, KN2, KHE, AN2, AHE, BN2, BHE, Pnext, 0.01, 60000);
  EXPECT_EQ(r.steps, 1);
  EXPECT_EQ(r.t, 0.01);

  // One that needs time: the first step below the target, the one before not.
  r = step_search(2.4, 0.0, PiN2, PiHe, KN2, KHE, AN2, AHE, BN2, BHE, Pnext, 0.5, 1200);
  ASSERT_GT(r.steps, 1);
  auto tolerated = [&](double t) {
    double p = haldane_update(2.4, PiN2, KN2, t);
    return tolerated_pressure(p, AN2, BN2);
  };
  EXPECT_LT(q(tolerated(r.t)), Pnext);
  EXPECT_GE(q(tolerated(r.t - 0.5)), Pnext);
  EXPECT_EQ(r.a, AN2);  // no helium: the nitrogen coefficients
  EXPECT_EQ(r.b, BN2);

  // Too few steps: no success, the time of all N steps.
  StepSearch short_search = step_search(2.4, 0.0, PiN2, PiHe, KN2, KHE, AN2, AHE, BN2, BHE, Pnext, 0.5, 4);
  EXPECT_EQ(short_search.steps, 0);
  EXPECT_EQ(short_search.t, 2.0);
}

// A platform whose processor clock reads the given values in turn.
class TickingClock final : public Platform {
 public:
  TickingClock(Platform& inner, std::deque<double> readings) : inner_(inner), readings_(std::move(readings)) {}
  void console_write_line(std::string_view text) override { inner_.console_write_line(text); }
  void console_write_prompt(std::string_view text) override { inner_.console_write_prompt(text); }
  std::optional<TypedLine> console_read_line() override { return inner_.console_read_line(); }
  void console_run_command(std::string_view line) override { inner_.console_run_command(line); }
  void console_note(std::string_view text) override { inner_.console_note(text); }
  std::filesystem::path data_folder() const override { return inner_.data_folder(); }
  LocalDate clock_local_date() override { return inner_.clock_local_date(); }
  LocalTime clock_local_time() override { return inner_.clock_local_time(); }
  double clock_process_seconds() override {
    double v = readings_.front();
    readings_.pop_front();
    return v;
  }
  Graphics& graphics() override { return inner_.graphics(); }

 private:
  Platform& inner_;
  std::deque<double> readings_;
};

TEST(NumericPrognosis, AirDiveWithTheDefaultStepAfterBadAnswers) {
  // 45 m for 30 min on air, A to 12 m; a negative step and a word are asked
  // again, the empty answer is the default step.
  AirDive d({"45.", "30.", "12.", "-0.5", "abc", ""});
  TickingClock clock(d.p, {1.25, 1.75});
  numeric_deco_prognosis(d.st, clock);

  std::vector<std::string> expected = {
      "  Deko Prognose numerisch: ",
      "  Schrittweite (default = 0.01)?  Schrittweite (default = 0.01)?  Schrittweite (default = 0.01)?"
      "  9m Stopp APPROXIMATION :     4.89 Steps N=        489.0 Komp.#:   4",
      "  6m Stopp APPROXIMATION :     9.78 Steps N=        978.0 Komp.#:   5",
      "  3m Stopp APPROXIMATION :    23.80 Steps N=       2380.0 Komp.#:   7",
      " TTS          =   39.80",
      " TTS gerundet =   45.",
      " CPU TIME used:  0.500000",
  };
  EXPECT_EQ(d.lines_from(expected[0]), expected);
  EXPECT_EQ(d.st.DEEPSTOP, 9.0);
  EXPECT_EQ(d.st.NUMSTEPS[7], 2380.0);
}

TEST(NumericPrognosis, StepCountsOutliveTheCallAndAStepAbove600SearchesNothing) {
  AirDive d({"45.", "30.", "12.", "", "700."});
  numeric_deco_prognosis(d.st, d.p);  // the default step
  Comp counts = d.st.NUMSTEPS;
  DiveState before = d.st;
  numeric_deco_prognosis(d.st, d.p);  // N = 0

  std::vector<std::string> expected = {
      "  Deko Prognose numerisch: ",
      "  Schrittweite (default = 0.01)?  9m Stopp APPROXIMATION :     0.00 Steps N=          1.0 Komp.#:  16",
      "  6m Stopp APPROXIMATION :     0.00 Steps N=          1.0 Komp.#:  16",
      "  3m Stopp APPROXIMATION :     0.00 Steps N=          1.0 Komp.#:  16",
      " TTS          =    1.33",  // 12 / 9 unrounded
      " TTS gerundet =    6.",    // three stops of trunc(3 / 9) + 1, trunc(12 / 9) and 2
      " CPU TIME used:  0.000000",
  };
  std::vector<std::string> all = d.lines();
  std::vector<std::string> second(all.end() - static_cast<long>(expected.size()), all.end());
  EXPECT_EQ(second, expected);
  // Compartment 16 kept the count of its search in the first call; no count
  // and no mixture is written without a search.
  EXPECT_EQ(counts[16], 1.0);
  EXPECT_EQ(d.st.NUMSTEPS, counts);
  EXPECT_EQ(d.st.AMIX, before.AMIX);
  EXPECT_EQ(d.st.BMIX, before.BMIX);
  testing::expect_dive_unchanged(before, d.st);

  // A new dive state starts without counts.
  EXPECT_EQ(DiveState().NUMSTEPS, Comp{});
}

TEST(NumericPrognosis, ASearchWithoutSuccessRunsSixHundredMinutesAndKeepsTheOldCount) {
  // Coefficients no built-in set has (a file may give them): compartment 16
  // tolerates more than its own tension and never reaches the target.
  StartedState s({"0.5"});
  at_depth_with_mixture(s.st, 5.0);
  s.st.AN2[16] = -1.0;
  s.st.BN2[16] = 1.0;
  s.st.NUMSTEPS[16] = 7.0;
  numeric_deco_prognosis(s.st, s.p);
  std::vector<std::string> expected = {
      "  Deko Prognose numerisch: ",
      "  Schrittweite (default = 0.01)?  3m Stopp APPROXIMATION :   600.00 Steps N=          7.0 Komp.#:  16",
      " TTS          =  600.56",
      " TTS gerundet =  603.",  // trunc(600 + 3 / 9) + 1, trunc(5 / 9) and 2
      " CPU TIME used:  0.000000",
  };
  EXPECT_EQ(s.lines(), expected);
  EXPECT_EQ(s.st.NUMSTEPS[16], 7.0);
  EXPECT_EQ(s.st.NUMSTEPS[15], 1.0);
}

TEST(NumericPrognosis, TheLastStopOfTheLaststopRuleStillTargetsThreeMetresAbove) {
  // With LASTSTOP 6 the loop ends at the 6-m stop, which is printed with the
  // depth 6 and searched against the 3-m pressure, as with LASTSTOP 3.
  struct Run {
    double LASTSTOP;
    std::vector<std::string> lines;
  } runs[] = {{3.0, {}}, {6.0, {}}};
  for (Run& r : runs) {
    AirDive d({"45.", "30.", "12.", "0.05"});
    d.st.LASTSTOP = r.LASTSTOP;
    numeric_deco_prognosis(d.st, d.p);
    r.lines = d.lines_from("  Deko Prognose numerisch: ");
  }
  ASSERT_EQ(runs[0].lines.size(), 7u);
  ASSERT_EQ(runs[1].lines.size(), 6u);
  EXPECT_EQ(runs[1].lines[2], runs[0].lines[2]);
  EXPECT_EQ(runs[1].lines[2].substr(0, 10), "  6m Stopp");
}

TEST(NumericPrognosis, LeavesTheMixtureOfTheLastSearchesAndTheTensions) {
  StartedState s({"0.5"});
  s.st.PN2[6] = 2.2;
  at_depth_with_mixture(s.st, 12.0);
  s.st.CEILM[6] = 4.0;  // the shared ceiling: first stop 6 m
  for (int i = 1; i <= COMPARTMENTS; ++i) s.st.AMIX[i] = s.st.BMIX[i] = -1.0;  // a mark no mixture gives
  DiveState before = s.st;
  numeric_deco_prognosis(s.st, s.p);
  EXPECT_EQ(s.st.DEEPSTOP, 6.0);
  testing::expect_dive_unchanged(before, s.st);
  EXPECT_EQ(s.st.GFCUR, before.GFCUR);
  // AMIX and BMIX are not read, but written by every search: the nitrogen
  // coefficients, as the helium tensions are near 0.
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_NEAR(s.st.AMIX[i], s.st.AN2[i], 1e-4) << i;
    EXPECT_NEAR(s.st.BMIX[i], s.st.BN2[i], 1e-4) << i;
  }
  EXPECT_EQ(s.st.PIHE, inspired_inert_pressure(3.0 * pressure_per_metre(s.st.RHO, s.st.GRAV) + s.st.PAIR,
                                               s.st.RQ, s.st.FHE));
}

}  // namespace
}  // namespace orva
