#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "model/depth_time_segment.hpp"
#include "model/started_state.hpp"
#include "prognosis/accelerated_prognosis.hpp"
#include "prognosis/corrected_accelerated.hpp"
#include "prognosis/gf_accelerated_nitrox.hpp"
#include "prognosis/gf_accelerated_o2.hpp"
#include "prognosis/gf_prognosis.hpp"

namespace orva {
namespace {

using testing::StartedState;

TEST(StretchedStopMinutes, OneAndAHalfTimesTheStopTimeTruncatedPlusOne) {
  struct Case {
    double T, Tr;
  } cases[] = {
      {0.0, 1.0},
      {2.0, 4.0},                 // trunc(3.0) + 1
      {2.7, 5.0},                 // trunc(4.05) + 1
      {2.6666666666666665, 4.0},  // the double product would round up to 4.0
      {7e18, 9223372036854775808.0},  // beyond the 64-bit range once stretched: the largest, plus one
      {std::numeric_limits<double>::infinity(), 9223372036854775808.0},
  };
  for (const Case& c : cases) EXPECT_EQ(stretched_stop_minutes(c.T), c.Tr) << "T = " << c.T;
}

// 45 m for 30 min on air with GF 0.85 / 0.30, each gradient-factor schedule
// after the two passes it follows.
struct Chain {
  const char* name;
  std::function<void(DiveState&, Platform&)> passes, schedule;
  double DEEPSTOP;
  std::int64_t last_stop;
};

std::vector<Chain> chains() {
  return {
      {"AD", accelerated_deco_prognosis, gf_accelerated_nitrox_prognosis, 24.0, 3},
      {"TBM", [](DiveState& st, Platform& p) { corrected_accelerated_schedules(st, p, {2.0, 1.5, 1.5}); },
       gf_accelerated_o2_prognosis, 40.0, 5},
  };
}

std::unique_ptr<StartedState> dived() {
  auto s = std::make_unique<StartedState>(std::vector<std::string>{"45.", "30."});
  depth_time_segment(s->st, s->p);
  segment_saturation(s->st, s->p);
  s->st.GFHI = 0.85;
  s->st.GFLO = 0.30;
  s->st.GFFLAG = "S";
  return s;
}

std::vector<std::string> lines_from(const StartedState& s, size_t start) {
  std::vector<std::string> lines = s.lines();
  lines.erase(lines.begin(), lines.begin() + static_cast<long>(start));
  return lines;
}

TEST(AcceleratedGradientFactorSchedules, WriteTheFirstStopAndTheLastFactorAndKeepTheMixture) {
  for (const Chain& c : chains()) {
    auto s = dived();
    c.passes(s->st, s->p);
    const DiveState before = s->st;
    c.schedule(s->st, s->p);
    EXPECT_EQ(s->st.DEEPSTOP, c.DEEPSTOP) << c.name;
    EXPECT_EQ(s->st.GFCUR, gf_line(s->st, c.last_stop)) << c.name;
    EXPECT_EQ(s->st.PIHE, 0.0) << c.name;
    EXPECT_EQ(s->st.AMIX, before.AMIX) << c.name;
    EXPECT_EQ(s->st.BMIX, before.BMIX) << c.name;
    EXPECT_EQ(s->st.PN2, before.PN2) << c.name;
    EXPECT_EQ(s->st.PHE, before.PHE) << c.name;
    EXPECT_EQ(s->st.PSUM, before.PSUM) << c.name;
    EXPECT_EQ(s->st.CEILM, before.CEILM) << c.name;
    EXPECT_EQ(s->st.PAMBTOL, before.PAMBTOL) << c.name;
    EXPECT_EQ(s->st.DEPTH, before.DEPTH) << c.name;
  }
}

TEST(AcceleratedGradientFactorSchedules, LatencyChangesNothing) {
  for (const Chain& c : chains()) {
    auto s = dived();
    c.passes(s->st, s->p);
    size_t start = s->lines().size();
    c.schedule(s->st, s->p);
    std::vector<std::string> without = lines_from(*s, start);
    s->st.LATENCY = "Y";
    start = s->lines().size();
    c.schedule(s->st, s->p);
    EXPECT_FALSE(without.empty()) << c.name;
    EXPECT_EQ(lines_from(*s, start), without) << c.name;
  }
}

}  // namespace
}  // namespace orva
