#include "model/deco_stop_pause.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/kernel.hpp"
#include "model/started_state.hpp"

namespace orva {
namespace {

using testing::StartedState;

// The per-compartment lines of E, with the prompt that may lead the first.
std::vector<std::string> compartment_lines(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    size_t at = l.find(" I:");
    if (at != std::string::npos) out.push_back(l.substr(at));
  }
  return out;
}

TEST(DecoStopPause, AtTheStartStateTargetZeroClosesTheDive) {
  StartedState s({"", ""});
  s.st.MAXDEPTH = 30.0;
  s.st.DIVETIME = 40.0;
  s.st.TIME = 12.0;
  deco_stop_pause(s.st, s.p);
  auto lines = compartment_lines(s.lines());
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], " I: 1 TAU N2:   4. TAU He:   2. TAU Summe:   4.00  Dekozeit:      0.0");
  EXPECT_EQ(lines[15], " I:16 TAU N2: 635. TAU He: 240. TAU Summe: 634.99  Dekozeit:      0.0");
  for (const std::string& l : lines) EXPECT_EQ(l.substr(l.size() - 8), "     0.0") << l;
  EXPECT_EQ(s.st.MAXDEPTH, 0.0);
  EXPECT_EQ(s.st.DIVETIME, 0.0);
  EXPECT_EQ(s.st.TIME, 0.0);
}

TEST(DecoStopPause, BelowZeroAtTheSurfaceClearsNothing) {
  StartedState s({"-1.", ""});
  s.st.MAXDEPTH = 30.0;
  s.st.DIVETIME = 40.0;
  deco_stop_pause(s.st, s.p);
  EXPECT_EQ(s.st.MAXDEPTH, 30.0);
  EXPECT_EQ(s.st.DIVETIME, 40.0);
}

TEST(DecoStopPause, RefusesATargetDeeperThanTheDiver) {
  StartedState s({"6.1"});
  s.st.DEPTH = 6.0;
  s.st.PN2[2] = 2.0;
  DiveState before = s.st;
  deco_stop_pause(s.st, s.p);
  EXPECT_NE(s.p.output().find("  Dekostufe tiefer waehlen!"), std::string::npos);
  EXPECT_EQ(s.st.AMIX, before.AMIX);
  EXPECT_EQ(s.st.PIHE, before.PIHE);
  EXPECT_EQ(s.p.unread(), 0u);  // no pause question
}

TEST(DecoStopPause, ShowsNinetyNineWhileACompartmentStillTakesUpGas) {
  // At 30 m on air the slow compartments lie below the inspired pressure.
  StartedState s({"27.", ""});
  s.st.DEPTH = 30.0;
  for (int i = 1; i <= 4; ++i) s.st.PN2[i] = 3.5;
  deco_stop_pause(s.st, s.p);
  auto lines = compartment_lines(s.lines());
  ASSERT_EQ(lines.size(), 16u);
  for (int i = 5; i <= 16; ++i) EXPECT_EQ(lines[i - 1].substr(lines[i - 1].size() - 8), "    99.0") << i;
  for (int i = 1; i <= 4; ++i) EXPECT_NE(lines[i - 1].substr(lines[i - 1].size() - 8), "    99.0") << i;
}

// A compartment whose tension has reached the inspired pressure (a long
// enough stay brings the fast ones there exactly) still takes up gas: it
// shows 99, not 0, for a diver must not read it as free to ascend. One step
// of a double above the inspired pressure it gives off gas, far below its
// M-value at the target, and may ascend at once.
TEST(DecoStopPause, ATensionEqualToTheInspiredPressureStillTakesUpGas) {
  struct Inspired {
    double PiN2, PiHe, Pi;
  };
  struct Tensions {
    double PN2, PHE;
  };
  struct Case {
    const char* what;
    double FO2, FHE, FN2;
    Tensions (*tensions)(const Inspired&);
    const char* shown;
  };
  const Case cases[] = {
      {"start gas, one step below", 0.2095, 0.000005, 0.7902,
       [](const Inspired& i) { return Tensions{std::nextafter(i.Pi, 0.0), 0.0}; }, "    99.0"},
      {"start gas, equal", 0.2095, 0.000005, 0.7902, [](const Inspired& i) { return Tensions{i.Pi, 0.0}; },
       "    99.0"},
      {"start gas, one step above", 0.2095, 0.000005, 0.7902,
       [](const Inspired& i) { return Tensions{std::nextafter(i.Pi, INFINITY), 0.0}; }, "     0.0"},
      {"trimix 18/45, each gas at its inspired pressure", 0.18, 0.45, 0.37,
       [](const Inspired& i) { return Tensions{i.PiN2, i.PiHe}; }, "    99.0"},
  };
  for (const Case& c : cases) {
    StartedState s({"5.", ""});
    s.st.FO2 = c.FO2;
    s.st.FHE = c.FHE;
    s.st.FN2 = c.FN2;
    s.st.DEPTH = s.st.MAXDEPTH = 10.0;
    s.st.DIVETIME = 9999.0;
    const double Pamb = ambient_pressure(s.st, 10.0);
    Inspired in{inspired_inert_pressure(Pamb, s.st.RQ, c.FN2), inspired_inert_pressure(Pamb, s.st.RQ, c.FHE), 0.0};
    in.Pi = in.PiHe + in.PiN2;
    const Tensions t = c.tensions(in);
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      s.st.PN2[i] = t.PN2;
      s.st.PHE[i] = t.PHE;
    }
    deco_stop_pause(s.st, s.p);
    auto lines = compartment_lines(s.lines());
    ASSERT_EQ(lines.size(), 16u) << c.what;
    for (const std::string& l : lines) EXPECT_EQ(l.substr(l.size() - 8), c.shown) << c.what << ": " << l;
  }
}

TEST(DecoStopPause, ThePauseLoadsAtTheCurrentDepthWithThePrePauseMixture) {
  StartedState s({"3.", "10"});
  s.st.DEPTH = 6.0;
  s.st.MAXDEPTH = 30.0;
  s.st.DIVETIME = 30.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    s.st.PN2[i] = 2.2 - 0.08 * i;
    s.st.PHE[i] = 0.4 - 0.02 * i;
  }
  DiveState before = s.st;
  deco_stop_pause(s.st, s.p);

  EXPECT_EQ(s.st.DEPTH, 6.0);
  EXPECT_EQ(s.st.TIME, 10.0);
  EXPECT_EQ(s.st.DIVETIME, 40.0);
  double Pamb = ambient_pressure(before, 6.0);
  double PiN2 = inspired_inert_pressure(Pamb, before.RQ, before.FN2);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    MixedCoefficients mix = mixture_coefficients(before, i);
    EXPECT_EQ(s.st.AMIX[i], mix.a) << i;
    EXPECT_EQ(s.st.BMIX[i], mix.b) << i;
    EXPECT_EQ(s.st.PN2[i], haldane_update(before.PN2[i], PiN2, before.KN2[i], 10.0)) << i;
    EXPECT_EQ(s.st.PSUM[i], s.st.PN2[i] + s.st.PHE[i]) << i;
    double Ptol = tolerated_pressure(s.st.PSUM[i], mix.a, mix.b);
    EXPECT_EQ(s.st.PAMBTOL[i], std::max(Ptol, 0.0)) << i;
  }
}

TEST(DecoStopPause, AZeroPauseOnlySetsTheTime) {
  StartedState s({"3.", ""});
  s.st.DEPTH = 6.0;
  s.st.TIME = 7.0;
  s.st.DIVETIME = 30.0;
  s.st.MAXDEPTH = 30.0;
  s.st.PN2[1] = 2.0;
  DiveState before = s.st;
  deco_stop_pause(s.st, s.p);
  EXPECT_EQ(s.st.TIME, 0.0);
  EXPECT_EQ(s.st.DIVETIME, 30.0);
  EXPECT_EQ(s.st.PN2, before.PN2);
  EXPECT_EQ(s.st.CEILM, before.CEILM);
  EXPECT_EQ(s.st.OTU, before.OTU);
  EXPECT_EQ(s.st.PRT, before.PRT);
}

TEST(DecoStopPause, ANegativePauseIsAskedAgain) {
  StartedState s({"3.", "-5", "x", "4"});
  s.st.DEPTH = 6.0;
  s.st.DIVETIME = 30.0;
  s.st.MAXDEPTH = 30.0;
  deco_stop_pause(s.st, s.p);
  EXPECT_EQ(s.st.TIME, 4.0);
  EXPECT_EQ(s.st.DIVETIME, 34.0);
}

TEST(DecoStopPause, TooCloseToTheSurfaceStopsAtTheFailingCompartment) {
  // At 40 m the inspired pressure lies above the surface M-value of every
  // compartment; compartments 1 and 2 still lie below it and show 99, the
  // third lies above it and ends the command.
  StartedState s({"", "5"});
  s.st.DEPTH = 40.0;
  s.st.MAXDEPTH = 40.0;
  s.st.DIVETIME = 20.0;
  s.st.PN2[3] = 4.5;
  for (int i = 1; i <= COMPARTMENTS; ++i) s.st.AMIX[i] = s.st.BMIX[i] = -1.0;
  DiveState before = s.st;
  deco_stop_pause(s.st, s.p);
  auto lines = compartment_lines(s.lines());
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_NE(s.p.output().find(" Fehler: Dekostufe zu nahe an der Oberflaeche"), std::string::npos);
  EXPECT_EQ(s.p.unread(), 1u);  // the pause is not asked
  EXPECT_NE(s.st.AMIX[3], -1.0);
  EXPECT_EQ(s.st.AMIX[4], -1.0);
  EXPECT_EQ(s.st.PN2, before.PN2);
  EXPECT_EQ(s.st.DIVETIME, 20.0);
}

}  // namespace
}  // namespace orva
