#include "prognosis/engine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/depth_time_segment.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "platform/console.hpp"
#include "platform/format.hpp"
#include "prognosis/accelerated_prognosis.hpp"
#include "prognosis/asymmetric_prognosis.hpp"
#include "prognosis/conservatism_series.hpp"
#include "prognosis/corrected_accelerated.hpp"
#include "prognosis/gf_accelerated_nitrox.hpp"
#include "prognosis/gf_accelerated_o2.hpp"
#include "prognosis/gf_prognosis.hpp"
#include "prognosis/numeric_prognosis.hpp"
#include "prognosis/oxygen_prognosis.hpp"
#include "prognosis/plain_prognosis.hpp"
#include "prognosis/pmrc_prognosis.hpp"
#include "prognosis/vgm_prognosis.hpp"
#include "support/handler_run.hpp"

namespace orva {
namespace {

using testing::StartedState;

TEST(FirstStopDepth, LiesOneGridStepBelowTheCeilingsGridLine) {
  struct Case {
    double C;
    int G;
    std::int64_t S1;
  } cases[] = {
      {0.0, 3, 3},  {2.999, 3, 3}, {3.0, 3, 6},  {5.9, 3, 6},   {6.0, 3, 9},
      {9.5, 3, 12}, {0.0, 5, 5},   {4.99, 5, 5}, {5.0, 5, 10},  {12.0, 5, 15},
  };
  for (const Case& c : cases) EXPECT_EQ(first_stop_depth(c.C, c.G), c.S1) << "C = " << c.C << ", G = " << c.G;
}

TEST(FirstStopDepth, IsHeldAtTheFirstGridDepthBeyondTheDeepestShownStop) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double C;
    int G;
    std::int64_t S1;
  } cases[] = {
      // Deeper than the stop fields, but as the grid gives them.
      {9999.0, 3, 10002},  {11547.51, 3, 11550}, {99998.9, 3, 99999}, {99999.0, 3, 100002},
      {100001.9, 3, 100002}, {9999.0, 5, 10000},   {99994.9, 5, 99995}, {99999.9, 5, 100000},
      // Beyond every dive: held.
      {100002.0, 3, 100002}, {1e7, 3, 100002},
      {1e19, 3, 100002},   // the product G x n would leave the 64-bit range
      {1e46, 3, 100002},   // the quotient itself would
      {inf, 3, 100002},    {nan, 3, 100002},
      {100000.0, 5, 100005}, {1e300, 5, 100005}, {inf, 5, 100005},
  };
  for (const Case& c : cases) EXPECT_EQ(first_stop_depth(c.C, c.G), c.S1) << "C = " << c.C << ", G = " << c.G;
}

TEST(RoundedStopTime, AddsTheAllowanceForTheThreeMetreMoveAndOneMinute) {
  struct Case {
    double T, ASCRATE, Tr;
  } cases[] = {
      {0.0, 9.0, 1.0},     // no compartment needs time: trunc(1/3) + 1
      {0.0, 1.0, 4.0},     // at 1 m/min the move alone is 3 minutes
      {2.0, 3.0, 4.0},     // T + 3 / ASCRATE exactly 3 gives 4
      {-0.0, 9.0, 1.0},
      {5.7, 9.0, 7.0},
      {2.6666666666666665, 9.0, 3.0},  // in double the sum would round up to 3.0
  };
  for (const Case& c : cases)
    EXPECT_EQ(rounded_stop_time(c.T, c.ASCRATE), c.Tr) << "T = " << c.T << ", ASCRATE = " << c.ASCRATE;
}

// The largest whole number plus one, rounded to double (2^63): the stop
// minutes of a stop time that no whole number holds.
constexpr double LONGEST_MINUTES = 9223372036854775808.0;

TEST(RoundedStopTime, ASumNoWholeNumberHoldsCountsAsTheLargest) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double T, ASCRATE, Tr;
  } cases[] = {
      {0.0, 0.0, LONGEST_MINUTES},     // 3 / 0 is infinite
      {12.5, 1e-300, LONGEST_MINUTES},  // 3 / ASCRATE beyond the 64-bit range
      {inf, 9.0, LONGEST_MINUTES},
      {inf, -0.0, LONGEST_MINUTES},     // infinity less infinity is not a number
      {0.0, -0.0, -LONGEST_MINUTES},    // the smallest whole number, plus one
  };
  for (const Case& c : cases) {
    double Tr = rounded_stop_time(c.T, c.ASCRATE);
    EXPECT_EQ(Tr, c.Tr) << "T = " << c.T << ", ASCRATE = " << c.ASCRATE;
    EXPECT_EQ(format_fixed(Tr, 8, 1), "********") << "T = " << c.T << ", ASCRATE = " << c.ASCRATE;
  }
}

TEST(WholeMinutesPlusOne, TruncatesTowardZero) {
  struct Case {
    double T, Tr;
  } cases[] = {{0.0, 1.0},  {-0.0, 1.0}, {2.0, 3.0}, {2.999, 3.0}, {14.0, 15.0},
               {1e300, LONGEST_MINUTES}, {std::numeric_limits<double>::infinity(), LONGEST_MINUTES}};
  for (const Case& c : cases) EXPECT_EQ(whole_minutes_plus_one(c.T), c.Tr) << "T = " << c.T;
}

TEST(TimeToSurface, AddsTheTruncatedAscentTime) {
  struct Case {
    double SUM, DEPTH, ASCRATE, TTS;
  } cases[] = {
      {5.0, 30.0, 9.0, 8.0},   // 30 / 9 = 3.33 gives 3
      {5.0, 27.0, 9.0, 8.0},   // exactly 3
      {1.0, 8.9, 9.0, 1.0},    // below one minute of ascent
      {12.0, 45.0, 10.0, 16.0},
      {5.0, 30.0, 0.0, LONGEST_MINUTES},    // an ascent that never ends: the largest whole number
      {5.0, 30.0, -0.0, -LONGEST_MINUTES},
  };
  for (const Case& c : cases) EXPECT_EQ(time_to_surface(c.SUM, c.DEPTH, c.ASCRATE), c.TTS) << "DEPTH = " << c.DEPTH;
}

TEST(LeadingCompartment, TakesTheLargestTimeAndTheHigherNumberOnTies) {
  Comp t{};
  double T = -1.0;
  int lead = 7;

  // Every time 0: compartment 16 leads.
  leading_compartment(t, T, lead);
  EXPECT_EQ(T, 0.0);
  EXPECT_EQ(lead, 16);

  // Two equal largest times: the higher number; a negative time never leads.
  for (int i = 1; i <= COMPARTMENTS; ++i) t[i] = -1.0;
  t[3] = 4.5;
  t[9] = 4.5;
  t[12] = 2.0;
  leading_compartment(t, T, lead);
  EXPECT_EQ(T, 4.5);
  EXPECT_EQ(lead, 9);

  // Every time negative: T is 0 and the number of the stop before stays.
  for (int i = 1; i <= COMPARTMENTS; ++i) t[i] = -0.5 - i;
  leading_compartment(t, T, lead);
  EXPECT_EQ(T, 0.0);
  EXPECT_FALSE(std::signbit(T));
  EXPECT_EQ(lead, 9);

  // A time that is not a number neither leads nor enters T.
  t[16] = std::numeric_limits<double>::quiet_NaN();
  t[2] = 1.0;
  leading_compartment(t, T, lead);
  EXPECT_EQ(T, 1.0);
  EXPECT_EQ(lead, 2);
}

// A variant that records what the engine hands its hooks.
class Recorder final : public Prognosis {
 public:
  explicit Recorder(Parameters prm) : Prognosis(prm) {}

  struct Stop {
    std::int64_t s, printed;
    double Pnext, Pi, T, Tr;
    int lead;
  };
  std::vector<Stop> stops;
  double tts_sum = -1.0;
  int headings = 0;

  void heading(Schedule&) override { ++headings; }
  void stop_line(Schedule& w) override { stops.push_back({w.s, w.printed_depth, w.Pnext, w.Pi, w.T, w.Tr, w.lead}); }
  void time_to_surface_line(Schedule& w) override { tts_sum = w.SUM; }

  std::vector<std::int64_t> depths() const {
    std::vector<std::int64_t> d;
    for (const Stop& s : stops) d.push_back(s.s);
    return d;
  }
  std::vector<std::int64_t> printed() const {
    std::vector<std::int64_t> d;
    for (const Stop& s : stops) d.push_back(s.printed);
    return d;
  }
};

TEST(Engine, LaststopEndsTheLoopAndSetsThePrintedDepth) {
  // A shared ceiling of 9.5 m puts the first stop at 12 m; the tensions are
  // the surface values, so no stop needs time.
  struct Case {
    double LASTSTOP;
    std::vector<std::int64_t> depths, printed;
  } cases[] = {
      {3.0, {12, 9, 6, 3}, {12, 9, 6, 3}},
      {4.5, {12, 9, 6, 3}, {12, 9, 6, 4}},
      {2.0, {12, 9, 6, 3}, {12, 9, 6, 2}},
      {6.0, {12, 9, 6}, {12, 9, 6}},
      {7.5, {12, 9, 6}, {12, 9, 7}},
      {9.0, {12, 9}, {12, 9}},
  };
  for (const Case& c : cases) {
    StartedState s;
    s.st.DEPTH = 20.0;
    s.st.CEILM[4] = 9.5;
    s.st.LASTSTOP = c.LASTSTOP;
    Recorder r({});
    run_schedule(r, s.st, s.p);
    EXPECT_EQ(r.depths(), c.depths) << "LASTSTOP " << c.LASTSTOP;
    EXPECT_EQ(r.printed(), c.printed) << "LASTSTOP " << c.LASTSTOP;
    // The stop of the LASTSTOP rule takes its M-values at the surface.
    EXPECT_EQ(r.stops.back().Pnext, s.st.PAIR);
    double RG = pressure_per_metre(s.st.RHO, s.st.GRAV);
    EXPECT_EQ(r.stops.front().Pnext, 9.0 * RG + s.st.PAIR);
    EXPECT_EQ(s.st.DEEPSTOP, 12.0);
  }
}

TEST(Engine, WithoutTheLaststopRuleEveryGridStopDownToTheGridIsComputed) {
  StartedState s;
  s.st.DEPTH = 20.0;
  s.st.CEILM[2] = 10.0;  // on the 5-m grid: first stop 15 m
  s.st.LASTSTOP = 12.0;  // with the rule the loop would end at 10 m, shown as 12
  s.st.DEEPSTOP = 3.0;
  Recorder r({.grid = 5,
              .writes_deepstop = false,
              .ascent_to_first_stop = false,
              .mixture = Mixture::once_stored,
              .laststop_rule = false});
  run_schedule(r, s.st, s.p);
  EXPECT_EQ(r.depths(), (std::vector<std::int64_t>{15, 10, 5}));
  EXPECT_EQ(r.printed(), (std::vector<std::int64_t>{15, 10, 5}));
  double RG = pressure_per_metre(s.st.RHO, s.st.GRAV);
  // The M-values are taken 3 m above each stop, also at the 5-m stop.
  EXPECT_EQ(r.stops[0].Pnext, 12.0 * RG + s.st.PAIR);
  EXPECT_EQ(r.stops[2].Pnext, 2.0 * RG + s.st.PAIR);
  EXPECT_EQ(s.st.DEEPSTOP, 3.0);
}

TEST(Engine, MixtureSourceDecidesWhatIsWrittenToAmixAndBmix) {
  StartedState base;
  base.st.DEPTH = 30.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    base.st.PN2[i] = 2.0 + 0.05 * i;
    base.st.PHE[i] = 0.3;
    base.st.AMIX[i] = -1.0;  // a marker no mixture produces
    base.st.BMIX[i] = -1.0;
  }
  base.st.CEILM[5] = 7.0;

  {  // shared: read, never written
    DiveState st = base.st;
    Recorder r({.mixture = Mixture::shared});
    run_schedule(r, st, base.p);
    EXPECT_EQ(st.AMIX, base.st.AMIX);
    EXPECT_EQ(st.BMIX, base.st.BMIX);
  }
  {  // once_stored: the mixture of the DiveState tensions
    DiveState st = base.st;
    Recorder r({.mixture = Mixture::once_stored});
    run_schedule(r, st, base.p);
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      MixedCoefficients mix = mixture_coefficients(base.st, i);
      EXPECT_EQ(st.AMIX[i], mix.a) << i;
      EXPECT_EQ(st.BMIX[i], mix.b) << i;
    }
  }
  {  // every stop: the mixture of the working tensions at the last stop,
     // which differs from that of the start tensions
    DiveState st = base.st;
    Recorder r({});
    run_schedule(r, st, base.p);
    int differing = 0;
    for (int i = 1; i <= COMPARTMENTS; ++i) differing += st.AMIX[i] != mixture_coefficients(base.st, i).a;
    EXPECT_GT(differing, 0);
  }
}

TEST(Engine, LeavesTensionsCeilingsAndProfileUnchangedAndRepeatsItself) {
  StartedState s;
  s.st.DEPTH = 30.0;
  s.st.DIVETIME = 25.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    s.st.PN2[i] = 4.0 - 0.1 * i;
    s.st.PSUM[i] = s.st.PN2[i] + s.st.PHE[i];
    s.st.CEILM[i] = 0.4 * (17 - i);
    s.st.PAMBTOL[i] = 1.0 + 0.01 * i;
  }
  DiveState before = s.st;
  Recorder first({});
  run_schedule(first, s.st, s.p);
  Recorder second({});
  run_schedule(second, s.st, s.p);

  EXPECT_EQ(s.st.PN2, before.PN2);
  EXPECT_EQ(s.st.PHE, before.PHE);
  EXPECT_EQ(s.st.PSUM, before.PSUM);
  EXPECT_EQ(s.st.CEILM, before.CEILM);
  EXPECT_EQ(s.st.PAMBTOL, before.PAMBTOL);
  EXPECT_EQ(s.st.DEPTH, before.DEPTH);
  EXPECT_EQ(s.st.DIVETIME, before.DIVETIME);
  EXPECT_EQ(s.st.GFCUR, before.GFCUR);
  ASSERT_EQ(first.stops.size(), second.stops.size());
  for (size_t k = 0; k < first.stops.size(); ++k) {
    EXPECT_EQ(first.stops[k].T, second.stops[k].T);
    EXPECT_EQ(first.stops[k].lead, second.stops[k].lead);
  }
  EXPECT_EQ(first.stops.front().s, 9);  // C = 6.4 m
  EXPECT_GT(first.stops.front().T, 0.0);
  double sum = 0.0;
  for (const auto& stop : first.stops) sum += stop.Tr;
  EXPECT_EQ(first.tts_sum, sum);
  EXPECT_EQ(first.headings, 1);
}

TEST(Engine, FirstStopTimesStartFromTheSumsBeforeTheAscent) {
  // With the ascent the working tensions fall, but PSUMW keeps the sums of
  // E2 at the first stop: a variant that reads limit_tension sees them.
  class SeesTension final : public Prognosis {
   public:
    double first = -1.0;
    void heading(Schedule&) override {}
    double limit_tension(const Schedule& w, int i) override {
      if (i == 1 && first < 0.0) first = w.PSUMW[1];
      return Prognosis::limit_tension(w, i);
    }
    void stop_line(Schedule&) override {}
    void time_to_surface_line(Schedule&) override {}
  } v;
  StartedState s;
  s.st.DEPTH = 40.0;
  s.st.PN2[1] = 3.0;
  s.st.CEILM[1] = 12.5;
  run_schedule(v, s.st, s.p);
  EXPECT_EQ(v.first, s.st.PN2[1] + s.st.PHE[1]);
}

// An ascent rate of 0 (as a state file can bring it) makes every stop and the
// ascent endless: their minutes are the largest whole number, too wide for
// the fields.
TEST(Engine, AtAnAscentRateOfZeroTheMinutesAndTheTimeToSurfacePrintAsAsterisks) {
  StartedState s;
  s.st.DEPTH = 30.0;
  s.st.CEILM[4] = 9.5;
  s.st.ASCRATE = 0.0;
  plain_deco_prognosis(s.st, s.p);
  std::vector<std::string> expected = {
      "  Deko Prognose: ",
      "   12m Stopp Prognose Dekozeit:********  Komp.#: 16",
      "    9m Stopp Prognose Dekozeit:********  Komp.#: 16",
      "    6m Stopp Prognose Dekozeit:********  Komp.#: 16",
      "    3m Stopp Prognose Dekozeit:********  Komp.#: 16",
      " TTS = ********",
  };
  EXPECT_EQ(s.lines(), expected);
}

// Tensions of a thousand bar and more (a state file holds up to 999999 bar)
// or infinite ones put the ceiling far below every stop field: the schedule
// starts at the first grid depth beyond the deepest stop a line can show,
// instead of printing a stop line for every 3 m of it.
TEST(Engine, ACeilingBeyondTheStopFieldsStartsTheScheduleJustBeyondThem) {
  struct Case {
    double C;
    int G;
    std::int64_t S1;
    size_t stops;
  } cases[] = {
      {1e7, 3, 100002, 33334},
      {std::numeric_limits<double>::infinity(), 3, 100002, 33334},
      {std::numeric_limits<double>::infinity(), 5, 100005, 20001},
  };
  for (const Case& c : cases) {
    StartedState s;
    s.st.DEPTH = 30.0;
    s.st.CEILM[7] = c.C;
    Recorder r({.grid = c.G});
    run_schedule(r, s.st, s.p);
    ASSERT_EQ(r.stops.size(), c.stops) << "C = " << c.C << ", G = " << c.G;
    EXPECT_EQ(r.stops.front().s, c.S1);
    EXPECT_EQ(r.stops.back().s, c.G);
    EXPECT_EQ(s.st.DEEPSTOP, static_cast<double>(c.S1));
  }

  StartedState s;
  s.st.DEPTH = 30.0;
  s.st.CEILM[7] = std::numeric_limits<double>::infinity();
  plain_deco_prognosis(s.st, s.p);
  std::vector<std::string> lines = s.lines();
  ASSERT_EQ(lines.size(), 33336u);
  EXPECT_EQ(lines[1].substr(0, 12), " ****m Stopp");
  EXPECT_EQ(lines[30001].substr(0, 12), " ****m Stopp");  // 10002 m
  EXPECT_EQ(lines[30002].substr(0, 12), " 9999m Stopp");
  EXPECT_EQ(lines[33334].substr(0, 12), "    3m Stopp");
}

// Rate constants of the wrong sign, as negative half-times in a coefficient
// file give them: over 600 min at 10 m the nitrogen tensions, loaded to 3 bar,
// run away from the inspired pressure, and the ceilings reach 1e46 m. Every
// prognosis still ends, each of its schedules with one stop line per grid
// depth from just beyond the deepest shown stop up.
TEST(Engine, EveryPrognosisEndsAfterNegativeHalfTimes) {
  StartedState s({"10.", "600."});
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    s.st.PN2[i] = 3.0;
    s.st.KN2[i] = -s.st.KN2[i];
  }
  depth_time_segment(s.st, s.p);
  segment_saturation(s.st, s.p);
  ASSERT_GT(s.st.CEILM[1], 1e45);

  struct Case {
    const char* command;
    void (*prognosis)(DiveState&, Platform&);
    std::vector<std::string> typed;
    size_t stop_lines;
  } cases[] = {
      {"A", plain_deco_prognosis, {}, 33334},
      {"A, numeric", numeric_deco_prognosis, {"700."}, 33334},  // a step above 600 min: no search
      {"A, GF", gf_deco_prognosis, {}, 33334},
      {"A, VGM", vgm_deco_prognosis, {}, 33334},
      {"AD", accelerated_deco_prognosis, {}, 2 * 33334},
      {"AD, GF", gf_accelerated_nitrox_prognosis, {}, 33334},
      {"TBM", corrected_accelerated_deco_prognosis, {"1.5", "1.5", "1.5"}, 2 * 20001},
      {"TBM, GF", gf_accelerated_o2_prognosis, {}, 20001},
      {"OC", oxygen_deco_prognosis, {}, 2 * 33334},
      {"ASY", asymmetric_deco_prognosis, {}, 33334},
      {"PMRC", pmrc_deco_prognosis, {}, 33334},
      {"S", conservatism_prognosis_series, {}, CONSERVATISM_SCHEDULES * 33334},
  };
  for (const Case& c : cases) {
    DiveState st = s.st;
    std::string out = testing::console_of(c.prognosis, st, c.typed);
    // An air break is a second line of its stop.
    EXPECT_EQ(testing::occurrences(out, "m Stopp") - testing::occurrences(out, "AIRBREAK!"), c.stop_lines)
        << c.command;
  }
}

TEST(Engine, NoCompartmentLeadsWhenEveryFirstStopTimeIsNegative) {
  // Every compartment lies above the inspired pressure of the 3-m stop and
  // below its surface M-value: every time is negative.
  StartedState s;
  s.st.DEPTH = 3.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) s.st.PN2[i] = 1.0;
  Recorder r({});
  run_schedule(r, s.st, s.p);
  ASSERT_EQ(r.stops.size(), 1u);
  EXPECT_EQ(r.stops[0].lead, NO_LEADING_COMPARTMENT);
  EXPECT_EQ(r.stops[0].T, 0.0);
  EXPECT_EQ(r.stops[0].Tr, 1.0);
}

// A compartment whose tension (the sum before the ascent) equals the inspired
// pressure of the stop does not off-gas there and needs no time; it keeps its
// place as the leader of a stop that no compartment needs. Just above the
// inspired pressure but below its M-value its time is negative, and the
// compartment before it leads.
TEST(Engine, ATensionAtTheInspiredPressureOfTheStopNeedsNoTime) {
  const double PI_3M = 0.9828013986658116;  // air at 3 m, both gases
  struct Case {
    const char* what;
    double P;
    int lead;
  } cases[] = {
      {"just below", std::nextafter(PI_3M, 0.0), 16},
      {"equal", PI_3M, 16},
      {"just above", std::nextafter(PI_3M, 9.0), 15},
  };
  for (const Case& c : cases) {
    // 6 m, the other compartments at the start tensions, below PI_3M.
    StartedState s;
    s.st.DEPTH = 6.0;
    s.st.PN2[16] = c.P;
    s.st.PHE[16] = 0.0;
    Recorder r({});
    run_schedule(r, s.st, s.p);
    ASSERT_EQ(r.stops.size(), 1u) << c.what;
    EXPECT_EQ(r.stops[0].s, 3) << c.what;
    ASSERT_EQ(r.stops[0].Pi, PI_3M);
    EXPECT_EQ(r.stops[0].lead, c.lead) << c.what;
    EXPECT_EQ(r.stops[0].T, 0.0) << c.what;
  }
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// The order in which a variant's hooks run is part of the engine's contract:
// a gradient factor set at the start of a stop must be there for its M-values.
TEST(Engine, CallsTheHooksInTheOrderOfTheSteps) {
  class Trace final : public Prognosis {
   public:
    std::string calls;
    void heading(Schedule&) override { calls += "E1 "; }
    void working_copies(Schedule&) override { calls += "E2 "; }
    double first_stop_ceiling(const Schedule& w, int i) override {
      if (i == 16) calls += "E3 ";
      return Prognosis::first_stop_ceiling(w, i);
    }
    StopGas stop_gas(const Schedule& w) override {
      calls += "gas" + std::to_string(w.s) + " ";
      return Prognosis::stop_gas(w);
    }
    void stop_start(Schedule& w) override { calls += w.st.PIHE == w.PiHe ? "start " : "start-early "; }
    double stop_m_value(const Schedule& w, int i) override {
      if (i == 1) calls += "M ";
      return Prognosis::stop_m_value(w, i);
    }
    double stop_minutes(const Schedule& w) override {
      calls += "E6.5 ";
      return Prognosis::stop_minutes(w);
    }
    void stop_line(Schedule&) override { calls += "E6.6 "; }
    void time_to_surface_line(Schedule&) override { calls += "E7"; }
  } v;
  StartedState s;
  s.st.DEPTH = 20.0;
  s.st.CEILM[1] = 4.0;  // first stop 6 m
  run_schedule(v, s.st, s.p);
  EXPECT_EQ(v.calls, "E1 E2 E3 gas6 start M E6.5 E6.6 gas3 start M E6.5 E6.6 E7");
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// The deepest dive the settings allow (9999 m for 9999 min at 1.5 bar with
// the VVAL18 set) leaves a finite ceiling of some 11548 m: its schedule starts
// where the grid puts it, every stop line of it shown, the deep ones with
// asterisks in their depth field.
TEST(Engine, TheDeepestDiveTheSettingsAllowGetsItsWholeSchedule) {
  testing::TempHome home;
  testing::SessionResult r =
      testing::run_session("\nL\n1.5\nNC\n5\nD\n9999.\n9999.\nASY\nA\n9000.\nq\n", home.path());
  double deepest = 0.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) deepest = std::max(deepest, r.state.CEILM[i]);
  EXPECT_NEAR(deepest, 11547.51, 0.005);

  const std::string asy = r.output.substr(r.output.find("Deko Prognose, asymmetrisch"));
  EXPECT_EQ(testing::occurrences(asy.substr(0, asy.find("TTS")), "m Stopp"), 11550u / 3);
  // A refuses a stage above the ceiling; the plain prognosis that follows
  // starts from the same ceiling.
  ASSERT_NE(r.output.find("niedriger wie Ceiling waehlen!"), std::string::npos);
  const std::string plain = r.output.substr(r.output.rfind("Deko Prognose: "));
  std::vector<std::string> lines = testing::split_lines(plain);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, 12), " ****m Stopp");
  EXPECT_EQ(testing::occurrences(plain.substr(0, plain.find("TTS")), "m Stopp"), 11550u / 3);
}

}  // namespace
}  // namespace orva
