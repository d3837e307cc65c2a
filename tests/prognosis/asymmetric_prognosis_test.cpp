#include "prognosis/asymmetric_prognosis.hpp"

#include <gtest/gtest.h>

#include "model/kernel.hpp"
#include "prognosis/surface_state.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::split_lines;
using testing::state_after;

// 60 m for 20 min on 18 % oxygen and 45 % helium, still at 60 m.
DiveState trimix_at_60m() {
  DiveState st = state_after("M\n0.18\n0.45\nD\n60.\n20.\n");
  st.DEPTH = 60.0;
  return st;
}

TEST(AsymmetricRateConstants, FixedHalfTimesForTheFirstSevenCompartments) {
  // The literals are the doubles nearest ln2 / 70 and ln2 / 30.
  EXPECT_EQ(ASYMMETRIC_RATE_N2, rate_constant(70.0));
  EXPECT_EQ(ASYMMETRIC_RATE_HE, rate_constant(30.0));

  DiveState st = testing::surface_state();
  Comp k = asymmetric_rate_constants(st.KN2, ASYMMETRIC_RATE_N2);
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(k[i], ASYMMETRIC_RATE_N2) << i;
  for (int i = 8; i <= COMPARTMENTS; ++i) EXPECT_EQ(k[i], st.KN2[i]) << i;
}

TEST(AsymmetricTimeToSurface, AscentAtNineMetresPerMinute) {
  struct Case {
    double SUM, DEPTH, TTS;
  } cases[] = {
      {5.0, 30.0, 8.0},   // 30 / 9 = 3.33
      {5.0, 27.0, 8.0},   // exactly 3
      {1.0, 8.9, 1.0},    // below a minute of ascent
      {1.0, 4.01, 1.0},
      {85.0, 60.0, 91.0},
  };
  for (const Case& c : cases) EXPECT_EQ(asymmetric_time_to_surface(c.SUM, c.DEPTH), c.TTS) << "DEPTH = " << c.DEPTH;
}

TEST(AsymmetricPrognosis, LeavesTheThreeMetreMixtureAndTheDiveUnchanged) {
  DiveState st = trimix_at_60m();
  st.ASCRATE = 3.0;    // not read: the time to surface takes 9 m/min
  st.LASTSTOP = 6.0;   // not read: the schedule ends at 3 m
  const DiveState before = st;
  std::string first = console_of(asymmetric_deco_prognosis, st);

  std::vector<std::string> expected = {
      "  Deko Prognose, asymmetrisch!!",
      " 18m Stopp Prognose Dekozeit:   4.00  Komp.#:  3",
      " 15m Stopp Prognose Dekozeit:  10.00  Komp.#:  4",
      " 12m Stopp Prognose Dekozeit:  12.00  Komp.#:  4",
      "  9m Stopp Prognose Dekozeit:  14.00  Komp.#:  4",
      "  6m Stopp Prognose Dekozeit:  16.00  Komp.#:  4",
      "  3m Stopp Prognose Dekozeit:  23.00  Komp.#: 10",
      " TTS =   85.00",
  };
  EXPECT_EQ(split_lines(first), expected);

  // The mixture of the working tensions at the start of the 3-m stop, and
  // the inspired helium pressure there.
  EXPECT_EQ(st.AMIX[1], 1.4815672020528219);
  EXPECT_EQ(st.AMIX[7], 0.5884847014754869);
  EXPECT_EQ(st.AMIX[16], 0.3019174974979748);
  EXPECT_EQ(st.BMIX[1], 0.4680171818336744);
  EXPECT_EQ(st.BMIX[16], 0.9557305322227012);
  EXPECT_EQ(st.PIHE, 0.559678348529325);

  EXPECT_EQ(st.PN2, before.PN2);
  EXPECT_EQ(st.PHE, before.PHE);
  EXPECT_EQ(st.PSUM, before.PSUM);
  EXPECT_EQ(st.CEILM, before.CEILM);
  EXPECT_EQ(st.PAMBTOL, before.PAMBTOL);
  EXPECT_EQ(st.KN2, before.KN2);
  EXPECT_EQ(st.KHE, before.KHE);
  EXPECT_EQ(st.DEEPSTOP, before.DEEPSTOP);
  EXPECT_EQ(st.GFCUR, before.GFCUR);
  EXPECT_EQ(st.DEPTH, before.DEPTH);

  EXPECT_EQ(console_of(asymmetric_deco_prognosis, st), first);
}

TEST(AsymmetricPrognosis, FirstSevenCompartmentsIgnoreTheirCoefficientSets) {
  DiveState st = trimix_at_60m();
  std::string with_start_sets = console_of(asymmetric_deco_prognosis, st);

  // Other half-times in compartments 1 to 7 change nothing.
  DiveState fast = trimix_at_60m();
  for (int i = 1; i <= 7; ++i) {
    fast.KN2[i] = rate_constant(2.0 * i);
    fast.KHE[i] = rate_constant(0.5 * i);
  }
  EXPECT_EQ(console_of(asymmetric_deco_prognosis, fast), with_start_sets);

  // Compartments 8 to 16 follow theirs.
  DiveState slow = trimix_at_60m();
  for (int i = 8; i <= COMPARTMENTS; ++i) {
    slow.KN2[i] = slow.KN2[i] / 2.0;
    slow.KHE[i] = slow.KHE[i] / 2.0;
  }
  EXPECT_NE(console_of(asymmetric_deco_prognosis, slow), with_start_sets);
}

TEST(AsymmetricPrognosis, StopsFromTheSharedCeilingsDownToThreeMetres) {
  // Surface tensions at 20 m: no compartment needs time, every stop shows
  // 1 minute and compartment 16, and the ascent adds trunc(20 / 9) = 2.
  struct Case {
    double ceiling;
    std::vector<std::string> depths;
    std::string tts;
  } cases[] = {
      {0.0, {" 3"}, " TTS =    3.00"},
      {2.99, {" 3"}, " TTS =    3.00"},
      {3.0, {" 6", " 3"}, " TTS =    4.00"},
      {9.5, {"12", " 9", " 6", " 3"}, " TTS =    6.00"},
  };
  for (const Case& c : cases) {
    DiveState st = testing::surface_state();
    st.DEPTH = 20.0;
    st.CEILM[11] = c.ceiling;
    std::vector<std::string> expected = {"  Deko Prognose, asymmetrisch!!"};
    for (const std::string& d : c.depths) expected.push_back(" " + d + "m Stopp Prognose Dekozeit:   1.00  Komp.#: 16");
    expected.push_back(c.tts);
    EXPECT_EQ(split_lines(console_of(asymmetric_deco_prognosis, st)), expected) << "ceiling " << c.ceiling;
  }
}

}  // namespace
}  // namespace orva
