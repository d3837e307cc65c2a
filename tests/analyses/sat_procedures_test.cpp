#include "analyses/sat_procedures.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/console.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

using testing::FakePlatform;

DiveState storage_at(double metres) {
  DiveState st;
  one_time_startup(st);
  st.RHO = 998.403;
  st.TWATER = 20.0;
  st.MAXDEPTH = metres;
  return st;
}

bool has_line(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

using Procedure = std::function<void(DiveState&, Platform&)>;

std::string run(const Procedure& procedure, double metres) {
  DiveState st = storage_at(metres);
  FakePlatform p({}, "/nonexistent");
  procedure(st, p);
  return p.output();
}

void usn_2018(DiveState& st, Platform& p) {
  double tts = 0.0;
  usn_sat_2018_procedure(st, p, tts);
}

// A depth on a band boundary belongs to the shallower band, also where the
// boundary is no double: the storage depth typed as 15.63 m is on the
// boundary 15.63 m; the next double beyond it is in the deeper band, whose
// time is measured from the binary128 boundary.
TEST(SatProcedures, BandBoundariesBelongToTheShallowerBand) {
  auto beyond = [](double x) { return std::nextafter(x, 1000.0); };
  struct Case {
    const char* name;
    Procedure procedure;
    double depth;
    const char* line;
  };
  const std::vector<Case> cases = {
      {"MT 92 at 15 m", mt92_sat_procedure, 15.0, "  ascent time from  15.0 to 0 m:     15.0 hours (h) "},
      {"MT 92 beyond 15 m", mt92_sat_procedure, beyond(15.0),
       "  ascent time from  15.0 to 15 m:    0.0 hours (h) @ pO2 = 0,6 Bar!"},
      {"NORMAM-15 at 20 m", normam15_sat_procedure, 20.0, "  ascent time from  20.0 to 0 m:     30.0 hours (h) "},
      {"NORMAM-15 beyond 20 m", normam15_sat_procedure, beyond(20.0),
       "  ascent time from  20.0 to 20 m:    0.0 hours (h) "},
      {"USN 1991 at 15.63 m", usn_sat_1991_procedure, 15.63, "  ascent time from  15.6 to 0 m:     25.5 hours (h) "},
      {"USN 1991 beyond 15.63 m", usn_sat_1991_procedure, beyond(15.63),
       " TTS from  15.6 to 0 m:     25.4 hours (h) "},
      {"USN 1991 at 62.52 m", usn_sat_1991_procedure, 62.52, "  ascent time from  62.5 to 16 m:   60.0 hours (h) "},
      {"USN 1991 beyond 62.52 m", usn_sat_1991_procedure, beyond(62.52),
       "  ascent time from  62.5 to 62 m:    0.0 hours (h) "},
      {"USN 2018 at 62.5232 m", usn_2018, 62.5232, "  ascent time from  62.5 to 31 m / 100 ft:  20.5 hours (h) "},
      {"USN 2018 beyond 62.5232 m", usn_2018, beyond(62.5232),
       "  ascent time from  62.5 to 62 m / 200 ft:    0.0 hours (h) "},
      {"USN 2018 at 31.2616 m", usn_2018, 31.2616, "  ascent time from  31.3 to 16 m / 50 ft:  12.8 hours (h) "},
      {"USN 2018 at 15.6308 m", usn_2018, 15.6308, " ascent time from  15.6 to 0 m / 0 ft:   17.1 hours (h) "},
      {"USN 2018 beyond 15.6308 m", usn_2018, beyond(15.6308),
       "  ascent time from  15.6 to 16 m / 50 ft:   0.0 hours (h) "},
  };
  for (const Case& c : cases) EXPECT_TRUE(has_line(run(c.procedure, c.depth), c.line)) << c.name;
}

// The boundaries a diver can type into D (the F5.1 depth field takes five
// characters): 15.63 m and 62.52 m of the 1991 procedure are on their
// boundaries and so in the shallower band; typed, 15.63 m also lies above
// the 15 m of MT 92 and below the 15.6308 m of the 2018 procedure.
TEST(SatProcedures, TypedBoundaryDepthsBelongToTheShallowerBand) {
  struct Case {
    const char* depth;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"15.63",
       {"  ascent time from  15.6 to 15 m:    0.5 hours (h) @ pO2 = 0,6 Bar!",
        "  ascent time from  15.6 to 0 m:     23.4 hours (h) ",
        "  ascent time from  15.6 to 0 m:     25.5 hours (h) ",
        " ascent time from  15.6 to 0 m / 0 ft:   17.1 hours (h) "}},
      {"62.52",
       {"  ascent time from  62.5 to 16 m:   60.0 hours (h) ", " TTS from  62.5 to 0 m:     85.4 hours (h) ",
        "  ascent time from  62.5 to 31 m / 100 ft:  20.5 hours (h) "}},
  };
  for (const Case& c : cases) {
    testing::TempHome home(false);  // no protocol: no comment is asked
    const auto r = testing::run_session(std::string("D\n") + c.depth + "\n0\nSAT\n\n\nn\nQ\n", home.path());
    for (const std::string& line : c.lines) EXPECT_TRUE(has_line(r.output, line)) << c.depth << ": " << line;
    EXPECT_EQ(r.output.find(" to 62 m:"), std::string::npos) << c.depth;
  }
}

// Schedules over 16 hours are split into 16-hour days; 16.0 exactly is not.
TEST(SatProcedures, DaySplitOnlyAboveSixteenHours) {
  struct Case {
    double depth;
    double tts;
    std::vector<std::string> lines;  // empty: no split
  };
  const std::vector<Case> cases = {
      {14.6304, 16.0, {}},
      {14.99616, 16.4,
       {" Traveltime =  16.40 hours that is:", "         1 Days a 16 h deco + 8 h stop",
        "      +  0.40 hours @ last day", " COMPLETE SCHEDULE, TTS =  24.40 HOURS!"}},
      {50.0, 41.49553805774278,
       {" Traveltime =  41.50 hours that is:", "         2 Days a 16 h deco + 8 h stop",
        "      +  9.50 hours @ last day", " COMPLETE SCHEDULE, TTS =  57.50 HOURS!"}},
  };
  for (const Case& c : cases) {
    DiveState st = storage_at(c.depth);
    FakePlatform p({}, "/nonexistent");
    double tts = -1.0;
    usn_sat_2018_procedure(st, p, tts);
    EXPECT_DOUBLE_EQ(tts, c.tts) << c.depth;
    if (c.lines.empty()) {
      EXPECT_EQ(p.output().find("Traveltime"), std::string::npos) << c.depth;
    }
    for (const std::string& line : c.lines) EXPECT_TRUE(has_line(p.output(), line)) << c.depth << ": " << line;
  }
}

TEST(SatProcedures, ExcursionLimitRows) {
  struct Case {
    double feet;
    std::int64_t shallowest, deepest;
  };
  const std::vector<Case> cases = {
      {30.51, 8, 70},    {164.04, 110, 230}, {328.083, 246, 415}, {830.0, 703, 978},
      {840.0, 713, 969},  // the published row for 840 ft lies above the one for 830 ft
      {850.0, 722, 1000}, {999.99, 850, 1000},
      {1000.0, 850, 1000},  // past the last row of 990 ft: that last row
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shallowest_excursion_feet(c.feet), c.shallowest) << c.feet;
    if (c.feet <= 850.0) {
      EXPECT_EQ(deepest_excursion_feet(c.feet), c.deepest) << c.feet;
    }
  }
}

// The environment of the chamber is set as soon as the excursion offer starts;
// the storage depth moves only to an accepted excursion depth.
TEST(SatExcursions, DeclinedKeepsTheStorageDepthButSetsTheChamberWater) {
  DiveState st = storage_at(50.0);
  FakePlatform p({"", "n"}, "/nonexistent");
  usn_sat_excursions(st, p);
  EXPECT_EQ(st.MAXDEPTH, 50.0);
  EXPECT_EQ(st.RHO, 999.6);
  EXPECT_EQ(st.TWATER, 15.0);
  EXPECT_EQ(p.unread(), 0u);
  // After the open prompt.
  EXPECT_TRUE(has_line(p.output(), " Excursions? Y for YES or N for NO:      what???"));
}

TEST(SatExcursions, AcceptedDepthBecomesTheStorageDepth) {
  DiveState st = storage_at(100.0);
  FakePlatform p({"y", "245", "250"}, "/nonexistent");
  usn_sat_excursions(st, p);
  EXPECT_EQ(st.MAXDEPTH, 250.0 / st.FTPERM);
  EXPECT_EQ(st.RHO, 999.6);
  EXPECT_TRUE(has_line(p.output(),
                       "  upward excursion to? (depth in feet):   Depth for upward excursion to SHALLOW!"));
  EXPECT_TRUE(has_line(p.output(), "  upward excursion to? (depth in feet):   Traveltime for excursion in minutes: 40"));
  EXPECT_TRUE(has_line(p.output(), "  Storage Depth:  250.0 feet / m:  76.2"));
}

TEST(SatExcursions, EndOfInputAtTheQuestionLeavesTheStorageDepth) {
  DiveState st = storage_at(100.0);
  FakePlatform p({"y"}, "/nonexistent");
  EXPECT_THROW(usn_sat_excursions(st, p), EndOfInput);
  EXPECT_EQ(st.MAXDEPTH, 100.0);
  EXPECT_EQ(st.RHO, 999.6);
}

}  // namespace
}  // namespace orva
