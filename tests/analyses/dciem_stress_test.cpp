#include "analyses/dciem_stress.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "analyses/analysis_fixture.hpp"
#include "support/fake_platform.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

DiveState after_dive(double PRT) {
  DiveState st = start_state();
  st.MAXDEPTH = 30.0;
  st.DEPTH = 20.0;
  st.TIME = 10.0;
  st.DIVETIME = 50.0;
  st.PRT = PRT;
  return st;
}

TEST(DciemStress, SilentBelowThePressureRootTimeThreshold) {
  struct Row {
    double PRT;
    bool prints;
  };
  for (Row r : {Row{12.99, false}, Row{std::nextafter(13.0, 0.0), false}, Row{13.0, true}, Row{0.0, false}}) {
    DiveState st = after_dive(r.PRT);
    testing::TempHome home(false);
    testing::FakePlatform p({""}, home.path());
    dciem_stress_indices(st, p);
    EXPECT_EQ(p.output().empty(), !r.prints) << r.PRT;
    EXPECT_EQ(p.unread(), r.prints ? 0u : 1u) << "the question is asked only when the command prints";
  }
}

TEST(DciemStress, TotalAscentTimeFromTheTypedStopMinutes) {
  DiveState st = after_dive(24.98);
  // 30 / 9 in double, then + 1 in binary128.
  const double TAT0 = 4.333333333333334;
  EXPECT_EQ(total_ascent_time(st, 0.0), TAT0);
  EXPECT_EQ(total_ascent_time(st, 2.0), 6.333333333333334);
  EXPECT_EQ(total_ascent_time(st, 20.0), 24.333333333333336);
}

TEST(DciemStress, IndicesAtTheFourMultiples) {
  // Recomputed independently: PRT 24.98, TAT 6.333333333333334.
  const std::array<std::array<double, 4>, 4> expected = {{
      {3.166666666666667, 9.185313577829797, 7.348250862263837, 2.755594073348939},
      {6.333333333333334, 7.460792964875719, 5.968634371900576, 2.2382378894627157},
      {9.5, 6.606289644605624, 5.285031715684499, 1.981886893381687},
      {12.666666666666668, 6.060046964438047, 4.848037571550437, 1.818014089331414},
  }};
  std::array<DciemRow, 4> rows = dciem_rows(24.98, 6.333333333333334);
  for (size_t m = 0; m < 4; ++m) {
    EXPECT_EQ(rows[m].T, expected[m][0]) << m;
    for (size_t g = 0; g < 3; ++g) EXPECT_EQ(rows[m].I[g], expected[m][g + 1]) << m << " gas " << g;
  }
}

TEST(DciemStress, PrintsTheIndicesAfterTheTimeToSurface) {
  DiveState st = after_dive(24.98);
  // A negative time and a malformed one ask again; 20 without a point is 2.0 min.
  EXPECT_EQ(console_of(dciem_stress_indices, st, {"-1", "a", "20"}),
            "  deco stress indices: PrT & I (DCIEM): \n"
            "  planned time-to-surface (TTS)?\n"
            "  in minutes (min.)!    in minutes (min.)!    in minutes (min.)!  "
            "   max. depth / ascent rate + sum of all stop times:   6.33\n"
            "   PrT value, all segments:   24.98\n"
            "   PrT value topical segment only:  9.40\n"
            " \n"
            "                            DCIEM I values for air, EAN/O2 deco, trimix: \n"
            "\n"
            "   50 % TAT [min]:   3.17    I AIR:  9.19    I EAN/O2:   7.35    I TMX:  2.76\n"
            "        TAT [min]:   6.33    I AIR:  7.46    I EAN/O2:   5.97    I TMX:  2.24\n"
            "  150 % TAT [min]:   9.50    I AIR:  6.61    I EAN/O2:   5.29    I TMX:  1.98\n"
            "  200 % TAT [min]:  12.67    I AIR:  6.06    I EAN/O2:   4.85    I TMX:  1.82\n");
}

TEST(DciemStress, SegmentValueIsZeroWithoutSegmentTime) {
  DiveState st = after_dive(30.0);
  st.TIME = 0.0;
  std::string out = console_of(dciem_stress_indices, st, {""});
  EXPECT_NE(out.find("   PrT value topical segment only:  0.00\n"), std::string::npos) << out;
}

TEST(DciemStress, FieldsTooNarrowShowAsterisks) {
  DiveState st = after_dive(150.0);  // PrT 150.00 does not fit F5.2
  std::string out = console_of(dciem_stress_indices, st, {"990."});  // 2 x TAT above 1000
  EXPECT_NE(out.find("   PrT value, all segments:   *****\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  200 % TAT [min]: ******"), std::string::npos) << out;
}

TEST(DciemStress, TimeToSurfaceAnswers) {
  testing::expect_answers(dciem_stress_indices, after_dive(24.98), "  in minutes (min.)!  ",
                          {
                              {{""}, 1, "0."},                   // empty: the ascent time alone
                              {{"20"}, 1, "2.0"},                // without a point: 2.0 min
                              {{"-0.1", "abc", "20."}, 3, "20.0"},
                          });
}

}  // namespace
}  // namespace orva
