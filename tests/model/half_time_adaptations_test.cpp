#include "model/half_time_adaptations.hpp"

#include <gtest/gtest.h>

#include "model/coefficient_bench.hpp"
#include "model/kernel.hpp"
#include "model/n2_coefficients.hpp"
#include "platform/console.hpp"

namespace orva {
namespace {

using testing::TempHome;

TEST(OxygenConsumption, ScalesTheMiddleHalfTimesOfTheSavedSet) {
  // Expected half-times: the exact quotients rounded to double.
  struct Case {
    const char* VO2;
    const char* WF;
    double tau4, tau5;
  } cases[] = {
      {"1.0", "1.0", 10.571428571428571, 15.428571428571429},  // F = 1.75
      {"0.25", "4.5", 18.5, 27.0},                              // F = 1
      // The typed 0.54 itself in binary128; the double 0.54 widened would
      // give 13.167259786476867.
      {"1.0", "0.54", 13.167259786476869, 19.217081850533809},
  };
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = bench::started_state();
    const DiveState before = st;
    std::string out = bench::console_of(set_o2_consumption, st, home, {c.VO2, c.WF});
    EXPECT_EQ(out,
              " Eingabe Sauerstoffverbrauch [ L / min ]  0.25 -> 4.0 L/min:   Eingabe Skalierungsfaktor WF [./.]  0.5 -> "
              "4.0 ");
    EXPECT_EQ(st.VO2, std::strtod(c.VO2, nullptr));
    EXPECT_EQ(st.TAUN2[4], c.tau4) << c.WF;
    EXPECT_EQ(st.TAUN2[5], c.tau5) << c.WF;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      const bool n2_scaled = i >= 4 && i <= 14, he_scaled = i >= 5 && i <= 13;
      if (n2_scaled) {
        EXPECT_EQ(st.KN2[i], to_double(LN2 / q(st.TAUN2[i]))) << i;
      } else {
        EXPECT_EQ(st.TAUN2[i], before.TAUN2[i]) << i;
        EXPECT_EQ(st.KN2[i], before.KN2[i]) << i;
      }
      // Helium takes the scaled nitrogen values of the same compartment.
      EXPECT_EQ(st.TAUHE[i], he_scaled ? st.TAUN2[i] : before.TAUHE[i]) << i;
      EXPECT_EQ(st.KHE[i], he_scaled ? st.KN2[i] : before.KHE[i]) << i;
    }
    EXPECT_EQ(st.TAUN2_COPY, before.TAUN2_COPY);
    EXPECT_EQ(st.AN2, before.AN2);
    EXPECT_EQ(st.BHE, before.BHE);
  }
}

TEST(OxygenConsumption, IsNotCumulative) {
  TempHome home;
  DiveState st = bench::started_state();
  const DiveState start = st;
  bench::console_of(set_o2_consumption, st, home, {"2.0", "2.0"});
  bench::console_of(set_o2_consumption, st, home, {"0.25", "1.0"});
  EXPECT_EQ(st.TAUN2, start.TAUN2);
  EXPECT_EQ(st.KN2, start.KN2);
  EXPECT_EQ(st.TAUHE[5], 27.0);  // the nitrogen value, not 10.21
  EXPECT_EQ(st.TAUHE[4], 6.99);
}

TEST(OxygenConsumption, AsksAgainOutsideTheAcceptedRanges) {
  TempHome home;
  DiveState st = bench::started_state();
  // 1 without a point is 0.01; 4.51 is above the accepted 4.5.
  std::string out = bench::console_of(set_o2_consumption, st, home, {"0.24", "4.01", "1", "x", "4.0", "4.51", "0.49", "4.5"});
  EXPECT_EQ(bench::occurrences(out, "Sauerstoffverbrauch"), 5u);
  EXPECT_EQ(bench::occurrences(out, "Skalierungsfaktor"), 3u);
  EXPECT_EQ(st.VO2, 4.0);
  // F = 3.75 x 4.5 + 1 = 17.875
  EXPECT_EQ(st.TAUN2[4], to_double(18.5Q / 17.875Q));
}

TEST(OxygenConsumption, ARejectedAnswerStaysInVO2) {
  TempHome home;
  DiveState st = bench::started_state();
  EXPECT_THROW(bench::console_of(set_o2_consumption, st, home, {"5.00"}), EndOfInput);
  EXPECT_EQ(st.VO2, 5.0);
  EXPECT_EQ(st.TAUN2[4], 18.5);
}

TEST(TemperatureAdaptation, OnlyWhileGivingOffInertGas) {
  TempHome home;
  DiveState st = bench::started_state();
  const DiveState before = st;
  std::string out = bench::console_of(temperature_adaptation, st, home, {});
  EXPECT_EQ(out, " Temperatur Adaption nur bei:  Inertgas-Abgabe (= auftauchen) !!!\n");
  EXPECT_EQ(st.TAUN2, before.TAUN2);
  st.DEPTH = 30.0;
  st.MAXDEPTH = 30.0;  // at the deepest point
  EXPECT_EQ(bench::console_of(temperature_adaptation, st, home, {}), out);
}

TEST(TemperatureAdaptation, StoresTheHalfTimesOfTheMode) {
  struct Case {
    std::vector<std::string> typed;
    std::vector<int> compartments;
    std::vector<double> n2, he;
    size_t questions;
  } cases[] = {
      {{"1"}, {6, 8, 10}, {44.0, 82.0, 148.0}, {18.0, 33.0, 58.0}, 1},
      {{"2"}, {6, 8, 10}, {58.0, 95.0, 153.0}, {24.0, 38.0, 60.0}, 1},
      {{"4", "x", "3"}, {5, 6, 7, 8, 10, 11}, {45.0, 60.0, 90.0, 104.0, 155.0, 197.0},
       {17.0, 24.0, 27.0, 38.0, 60.0, 76.0}, 3},
      // Only the first character is read: 31 is mode 3.
      {{"31"}, {5, 6, 7, 8, 10, 11}, {45.0, 60.0, 90.0, 104.0, 155.0, 197.0}, {17.0, 24.0, 27.0, 38.0, 60.0, 76.0}, 1},
  };
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = bench::started_state();
    st.MAXDEPTH = 30.0;
    st.DEPTH = 6.0;
    const DiveState before = st;
    std::string out = bench::console_of(temperature_adaptation, st, home, c.typed);
    EXPECT_EQ(bench::occurrences(out, " Eingabe Temperatur Adaption: 0 = normal 1 = kuehl, 2 = kalt\n"), c.questions);
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      auto at = std::find(c.compartments.begin(), c.compartments.end(), i);
      double n2 = at == c.compartments.end() ? before.TAUN2[i] : c.n2[at - c.compartments.begin()];
      double he = at == c.compartments.end() ? before.TAUHE[i] : c.he[at - c.compartments.begin()];
      EXPECT_EQ(st.TAUN2[i], n2) << c.typed.back() << " " << i;
      EXPECT_EQ(st.TAUHE[i], he) << c.typed.back() << " " << i;
      EXPECT_EQ(st.KN2[i], rate_constant(n2)) << c.typed.back() << " " << i;
      EXPECT_EQ(st.KHE[i], rate_constant(he)) << c.typed.back() << " " << i;
    }
    EXPECT_EQ(st.TAUN2_COPY, before.TAUN2_COPY);
  }
}

TEST(TemperatureAdaptation, ModesBuildOnWhatIsThere) {
  TempHome home;
  DiveState st = bench::started_state();
  st.MAXDEPTH = 20.0;
  bench::console_of(temperature_adaptation, st, home, {"3"});
  bench::console_of(temperature_adaptation, st, home, {"1"});
  EXPECT_EQ(st.TAUN2[5], 45.0);
  EXPECT_EQ(st.TAUN2[6], 44.0);
  EXPECT_EQ(st.TAUN2[7], 90.0);
  EXPECT_EQ(st.TAUN2[11], 197.0);
  // Mode 0 writes the start set's half-times, whatever set was chosen.
  bench::console_of(n2_coefficient_choice, st, home, {"2"});
  bench::console_of(temperature_adaptation, st, home, {""});
  EXPECT_EQ(st.TAUN2[5], 27.0);
  EXPECT_EQ(st.TAUN2[4], 18.5);
  EXPECT_EQ(st.TAUN2[9], 114.0);
  EXPECT_EQ(st.TAUHE[11], 70.69);
}

TEST(MixedMatrix, WeightsByTheTensionsAndStoresAAndB) {
  TempHome home;
  DiveState st = bench::started_state();
  st.PN2[1] = 2.0;
  st.PHE[1] = 1.0;
  st.TAUN2[1] = 99.0;  // the nitrogen half-time comes from the rate constant
  std::string out = bench::console_of(mixed_coefficient_matrix, st, home, {});
  std::vector<std::string> lines = testing::split_lines(out);
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[0], "   Aktuelle Koeffizientenmatrix, gewichtet fuer MISCHGAS!");
  EXPECT_EQ(lines[1], "             A * ,        B * ,         TAU *");
  EXPECT_EQ(lines[2], "  " + std::string(55, '='));
  EXPECT_EQ(lines[3], "  Nr.:  1 1.4207 A *  0.4782 B *      3.1700 TAU gewichtet");
  EXPECT_EQ(st.AMIX[1], 1.4207333333333334);
  EXPECT_EQ(st.BMIX[1], 0.47816666666666663);
  // Air at the start: within the printed digits of the nitrogen set.
  EXPECT_EQ(lines[18], "  Nr.: 16 0.2327 A *  0.9653 B *    634.9975 TAU gewichtet");
  EXPECT_EQ(st.AMIX[16], (0.5119 * 0.000005065 + 0.2327 * 0.8004726) / (0.8004726 + 0.000005065));
}

}  // namespace
}  // namespace orva
