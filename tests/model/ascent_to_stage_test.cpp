#include "model/ascent_to_stage.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "model/started_state.hpp"

namespace orva {
namespace {

using testing::StartedState;

// A line that is or ends with the text (a reply continues the prompt's line).
bool has_line(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0;
  });
}

int count_prefix(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.find(prefix) != std::string::npos;
  }));
}

TEST(AscentToStage, ProposesDeepStopsWellBelowTheCeiling) {
  // 30 m, no ceiling, 20 minutes of dive on air; the stage 30 is refused.
  StartedState s({"30."});
  s.st.DEPTH = 30.0;
  s.st.DIVETIME = 20.0;
  ascent_to_stage(s.st, s.p);
  auto lines = s.lines();
  EXPECT_TRUE(has_line(lines, " maximale Ceiling:   0.00"));
  EXPECT_TRUE(has_line(lines, " Vorschlag Haldane 2:1 [m] =  10.00"));
  EXPECT_TRUE(has_line(lines, " Vorschlag Hills, B. A.: DEEP STOP [m] =    15"));
  EXPECT_TRUE(has_line(lines, " PDIS fuer TAU = 10 min:  22.53 [m]"));
  EXPECT_TRUE(has_line(lines, " PDIS fuer TAU = 20 min:  15.06 [m]"));
  EXPECT_TRUE(has_line(lines, " PDIS fuer TAU = 30 min:  11.18 [m]"));
  // The start value of FHE is above 0: three helium lines follow.
  EXPECT_EQ(count_prefix(lines, "PDIS fuer TAU = "), 6);
}

// An infinite ceiling (runaway tensions of negative half-times leave one)
// passes the test of the proposals, and puts the midpoint of the Hills
// proposal beyond every whole number: its field shows asterisks.
TEST(AscentToStage, TheDeepStopOfAnInfiniteCeilingPrintsAsAsterisks) {
  StartedState s({"20."});
  s.st.DEPTH = 30.0;
  s.st.DIVETIME = 20.0;
  s.st.CEILM[7] = std::numeric_limits<double>::infinity();
  ascent_to_stage(s.st, s.p);
  auto lines = s.lines();
  EXPECT_TRUE(has_line(lines, " maximale Ceiling:    Inf"));
  EXPECT_TRUE(has_line(lines, " Vorschlag Haldane 2:1 [m] =  10.00"));
  EXPECT_TRUE(has_line(lines, " Vorschlag Hills, B. A.: DEEP STOP [m] = *****"));
  // The stage lies above the ceiling.
  EXPECT_TRUE(has_line(lines, "Austauchstufe ist zu hoch: "));
  EXPECT_EQ(s.st.DEPTH, 30.0);
}

TEST(AscentToStage, ProposalsNeedTwelveMetresBelowTheCeiling) {
  struct Case {
    double DEPTH, C;
    bool proposals;
  } cases[] = {{12.0, 0.0, true}, {11.9, 0.0, false}, {20.0, 8.0, true}, {20.0, 8.1, false}, {0.0, 0.0, false}};
  for (const Case& c : cases) {
    StartedState s({"99."});
    s.st.DEPTH = c.DEPTH;
    s.st.CEILM[7] = c.C;
    ascent_to_stage(s.st, s.p);
    EXPECT_EQ(count_prefix(s.lines(), "Vorschlag Haldane"), c.proposals ? 1 : 0) << c.DEPTH << " " << c.C;
  }
}

TEST(AscentToStage, PdisLinesFollowTheGasFractions) {
  struct Case {
    double FN2, FHE;
    int lines;
  } cases[] = {{0.7902, 0.0, 3}, {0.0, 0.79, 3}, {0.5, 0.3, 6}};
  for (const Case& c : cases) {
    StartedState s({"40."});
    s.st.DEPTH = 40.0;
    s.st.FN2 = c.FN2;
    s.st.FHE = c.FHE;
    s.st.FO2 = 1.0 - c.FN2 - c.FHE;
    ascent_to_stage(s.st, s.p);
    EXPECT_EQ(count_prefix(s.lines(), "PDIS fuer TAU"), c.lines) << c.FN2 << " " << c.FHE;
  }
}

TEST(AscentToStage, RefusedStageChangesNothing) {
  struct Case {
    std::string answer;
    const char* message;
  } cases[] = {
      {"20.", " Stufe zu niedrig, zum abtauchen \"D\" benutzen!"},  // the current depth
      {"25.", " Stufe zu niedrig, zum abtauchen \"D\" benutzen!"},
      {"5.9", "           Austauchstufe ist zu hoch: "},             // above the ceiling of 6 m
      {"", "           Austauchstufe ist zu hoch: "},                // empty: the surface
      {"-1.", "           Austauchstufe ist zu hoch: "},
  };
  for (const Case& c : cases) {
    StartedState s({c.answer});
    s.st.DEPTH = 20.0;
    s.st.TIME = 30.0;
    s.st.DIVETIME = 30.0;
    s.st.CEILM[3] = 6.0;
    s.st.PN2[3] = 2.5;
    DiveState before = s.st;
    ascent_to_stage(s.st, s.p);
    EXPECT_TRUE(has_line(s.lines(), c.message)) << "answer " << c.answer;
    EXPECT_EQ(s.st.DEPTH, before.DEPTH);
    EXPECT_EQ(s.st.TIME, before.TIME);
    EXPECT_EQ(s.st.DIVETIME, before.DIVETIME);
    EXPECT_EQ(s.st.PN2, before.PN2);
    EXPECT_EQ(s.st.CEILM, before.CEILM);
    EXPECT_EQ(s.st.OTU, before.OTU);
  }
}

TEST(AscentToStage, ReadsTheStageWithFieldF41) {
  struct Case {
    std::string answer;
    double stage;
  } cases[] = {{"9", 0.9}, {"9.", 9.0}, {"12.55", 12.5}, {"x", 6.0}};
  for (const Case& c : cases) {
    // A malformed answer is asked again; the second answer is 6.
    StartedState s({c.answer, "6."});
    s.st.DEPTH = 30.0;
    ascent_to_stage(s.st, s.p);
    EXPECT_EQ(s.st.DEPTH, c.stage) << "answer " << c.answer;
  }
}

TEST(AscentToStage, MovesTheDiverAndChargesTheAscent) {
  StartedState s({"12."});
  s.st.DEPTH = 30.0;
  s.st.MAXDEPTH = 30.0;
  s.st.TIME = 25.0;
  s.st.DIVETIME = 25.0;
  ascent_to_stage(s.st, s.p);
  EXPECT_EQ(s.st.DEPTH, 12.0);
  EXPECT_EQ(s.st.TIME, 2.0);  // 18 m at 9 m/min
  EXPECT_EQ(s.st.DIVETIME, 27.0);
  EXPECT_EQ(s.st.TSTART, 25.0);
  EXPECT_EQ(s.st.MAXDEPTH, 30.0);
  // The inspired pressures shown and kept are those of the start depth.
  EXPECT_TRUE(has_line(s.lines(), " Austauchstufe:  12.00  Aufstiegszeit:      2.0  P insp N2:  3.072  P insp He:  0.000"));
  EXPECT_NEAR(s.st.PIHE, (3.950296633985 - 0.063) * 0.000005, 1e-18);
  EXPECT_EQ(count_prefix(s.lines(), "  Nr.: "), 16);
}

}  // namespace
}  // namespace orva
