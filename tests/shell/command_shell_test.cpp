#include "shell/command_shell.hpp"

#include <gtest/gtest.h>

#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

using testing::run_session;
using testing::TempHome;

// Every keyword of the command language, in its upper-case form.
const char* const KEYWORDS[] = {"?",   "??",  "HELP", "D",    "E",   "O",  "A",  "Z",   "F",  "N",  "M",
                                "P",   "%P",  "T",    "V",    "R",   "W",  "L",  "S",   "PMRC", "NC", "HC",
                                "ASY", "OC",  "RL",   "B",    "LS",  "AR", "AD", "TBM", "GF", "MX", "TA",
                                "PDCS", "BPA", "RE",  "LAT",  "O2",  "DI", "TE", "RS",  "BP", "HM", "CP",
                                "CS",  "SAT", "K",    "DS",   "ON",  "OFF", "CLR", "!"};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Without a PROT folder there is no comment question: the first typed line is a command.
bool quarked(const std::string& typed) {
  TempHome home(false);
  return run_session(typed + "\n", home.path()).output.find("QUARK!") != std::string::npos;
}

TEST(KeywordTable, KnowsEveryKeywordInBothCaseForms) {
  for (std::string k : KEYWORDS) {
    EXPECT_FALSE(quarked(k)) << k;
    EXPECT_FALSE(quarked(lower(k))) << lower(k);
  }
}

TEST(KeywordTable, AnswersQuarkToMixedCaseLeadingBlanksAndOtherWords) {
  for (const char* typed : {"Help", " HELP", "Pmrc", "D5", "", "XYZ", "Sat", "cLR", "?x"}) EXPECT_TRUE(quarked(typed)) << typed;
}

TEST(KeywordTable, ReadsOnlyTheFirstFourCharacters) {
  TempHome home(false);
  auto r = run_session("BLUB\nONLY\n", home.path());
  // "BLUB" and "ONLY" are no keywords although they begin with B and ON.
  EXPECT_EQ(r.state.BZFLAG, "N");
  EXPECT_EQ(r.state.NUMFLAG, "OFF ");
}

TEST(InlineActions, SwitchesAndReset) {
  TempHome home(false);
  auto r = run_session("b\non\n", home.path());
  EXPECT_EQ(r.state.BZFLAG, "Y");
  EXPECT_EQ(r.state.NUMFLAG, "ON  ");
  r = run_session("B\nON\nOFF\nCLR\n", home.path());
  EXPECT_EQ(r.state.BZFLAG, "N");
  EXPECT_EQ(r.state.NUMFLAG, "OFF ");
  EXPECT_EQ(r.state.CMD, "    ");  // blanked by the reset
}

TEST(StartState, ValuesAfterProgramStart) {
  TempHome home;
  auto r = run_session("", home.path());
  const DiveState& st = r.state;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(st.PSUM[i], 0.800477665);
    EXPECT_EQ(st.PAMBTOL[i], 0.58);
    EXPECT_EQ(st.CEILM[i], 0.0);
    EXPECT_EQ(st.AMIX[i], 0.0);
    EXPECT_EQ(st.BMIX[i], 0.0);
  }
  EXPECT_EQ(st.N2MATRIX, "ZH-L 16C  ");
  EXPECT_EQ(st.HEMATRIX, "ZH-L 16C  ");
  EXPECT_EQ(st.KN2[1], 0.17328679513998632);
  EXPECT_EQ(st.FHE, 0.000005);
  EXPECT_EQ(st.TSTART, 0.0);
  EXPECT_EQ(st.NUMFLAG, "OFF ");
  EXPECT_EQ(st.BHE[5], 0.7852);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(Reset, ClrAtDepthTakesPo2MaxFromTheDepthBefore) {
  DiveState st;
  one_time_startup(st);
  st.DEPTH = 30.0;
  // A nitrox mix, a mountain lake and salt water: the reset takes none of them.
  st.FO2 = 0.32;
  st.PAIR = 0.9;
  st.RHO = 1025.0;
  st.CMD = "CLR ";
  st.TAUN2[3] = 99.0;  // as W or TA leave it
  st.KN2[3] = 0.5;
  st.AN2[3] = 0.1;
  st.AMIX[2] = 0.7;
  st.TSTART = 12.0;
  testing::TempHome home;
  testing::FakePlatform p({}, home.path());
  reset_dive_state(st, p);
  // (30 x 0.0979098877995 + 1.013) x 0.2095, kept through the record X.
  EXPECT_EQ(st.PO2MAX, 0.8275871448198574);
  EXPECT_EQ(st.DEPTH, 0.0);
  EXPECT_EQ(st.TAUN2[3], 12.5);
  EXPECT_EQ(st.KN2[3], st.KN2_COPY[3]);
  EXPECT_EQ(st.AN2[3], 0.1);  // a and b are never reset
  EXPECT_EQ(st.AMIX[2], 0.7);
  EXPECT_EQ(st.TSTART, 12.0);
  EXPECT_EQ(st.CMD, "    ");
}

}  // namespace
}  // namespace orva
