#include "prognosis/conservatism_series.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "model/kernel.hpp"
#include "prognosis/surface_state.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::split_lines;
using testing::state_after;

TEST(SafetyMargins, StopMinutesRaisedByFifteenTwentyAndTwentyFivePerCent) {
  constexpr std::int64_t LARGEST = std::numeric_limits<std::int64_t>::max();
  // The binary128 factors 1.15 and 1.2 lie just below those decimals: where
  // the product would be a whole number in decimals it truncates one lower.
  struct Case {
    double Tr;
    std::array<std::int64_t, 3> m;
  } cases[] = {
      {1.0, {2, 2, 2}},
      {3.0, {4, 4, 4}},
      {20.0, {24, 25, 26}},
      {100.0, {115, 121, 126}},
      {180.0, {207, 217, 226}},
      // The minutes of an endless stop: every margin is the largest whole number.
      {9223372036854775808.0, {LARGEST, LARGEST, LARGEST}},
  };
  for (const Case& c : cases) EXPECT_EQ(safety_margins(c.Tr), c.m) << "Tr = " << c.Tr;
}

TEST(Conservatism, PercentAndFactorOfEachSchedule) {
  struct Case {
    int k;
    quad p;
  } cases[] = {{0, 0.0Q}, {1, 5.0Q}, {2, 10.0Q}, {3, 15.0Q}, {4, 20.0Q}};
  for (const Case& c : cases) EXPECT_TRUE(conservatism_percent(c.k) == c.p) << "k = " << c.k;
  EXPECT_TRUE(conservatism_factor(0) == 1.0Q);
  EXPECT_TRUE(conservatism_factor(4) == 1.2Q);
}

TEST(Conservatism, RaisedTensionIsOneBinary128Product) {
  struct Case {
    int k;
    double P, raised;
  } cases[] = {
      {0, 2.3456, 2.3456},
      {1, 1.5, 1.575},  // in double, 1.5 x 1.05 gives 1.5750000000000002
      {1, 0.7902, 0.8297100000000001},
  };
  for (const Case& c : cases) EXPECT_EQ(raised_tension(conservatism_factor(c.k), c.P), c.raised) << c.P;
}

TEST(ConservatismSeries, FiveSchedulesOverTheSameStopsWithoutTimeToSurface) {
  DiveState st = state_after("D\n45.\n30.\nA\n12.\n");
  st.LASTSTOP = 6.0;  // not read: every schedule ends at 3 m
  st.DEEPSTOP = 21.0;
  const DiveState before = st;
  std::string first = console_of(conservatism_prognosis_series, st);
  std::vector<std::string> lines = split_lines(first);

  std::vector<std::string> head = {" *****************", "   Deko Prognose: ", " *****************"};
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), head);
  // Each schedule: separator, conservatism line, the same stop depths.
  const char* percent[] = {" 0.", " 5.", "10.", "15.", "20."};
  size_t at = 3;
  std::vector<std::string> first_depths;
  for (int k = 0; k < CONSERVATISM_SCHEDULES; ++k) {
    ASSERT_LT(at + 1, lines.size());
    EXPECT_EQ(lines[at++], " ========================");
    EXPECT_EQ(lines[at++], std::string("    Konservativismusfaktor: ") + percent[k] + " in Prozent Gewebesaettigung");
    std::vector<std::string> depths;
    while (at < lines.size() && lines[at].substr(3, 7) == "m Stopp") depths.push_back(lines[at++].substr(0, 3));
    if (k == 0) first_depths = depths;
    EXPECT_EQ(depths, first_depths) << "schedule " << k;
  }
  EXPECT_EQ(at, lines.size());  // no time to surface
  EXPECT_EQ(first_depths.back(), "  3");

  // AMIX and BMIX hold the mixture of the DiveState tensions, PIHE the
  // inspired helium pressure at 3 m.
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    MixedCoefficients mix = mixture_coefficients(before, i);
    EXPECT_EQ(st.AMIX[i], mix.a) << i;
    EXPECT_EQ(st.BMIX[i], mix.b) << i;
  }
  EXPECT_EQ(st.PIHE, inspired_inert_pressure(ambient_pressure(st, 3.0), st.RQ, st.FHE));

  EXPECT_EQ(st.PN2, before.PN2);
  EXPECT_EQ(st.PHE, before.PHE);
  EXPECT_EQ(st.PSUM, before.PSUM);
  EXPECT_EQ(st.CEILM, before.CEILM);
  EXPECT_EQ(st.PAMBTOL, before.PAMBTOL);
  EXPECT_EQ(st.DEEPSTOP, 21.0);
  EXPECT_EQ(st.GFCUR, before.GFCUR);
  EXPECT_EQ(st.DEPTH, before.DEPTH);

  EXPECT_EQ(console_of(conservatism_prognosis_series, st), first);
}

}  // namespace
}  // namespace orva
