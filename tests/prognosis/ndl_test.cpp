#include "prognosis/ndl.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "model/kernel.hpp"
#include "prognosis/surface_state.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::surface_state;

// Expected limits from an independent evaluation of the rules (binary128
// steps emulated exactly, double steps in double).
TEST(NoDecompressionLimit, EdgesOfTheLimit) {
  struct Case {
    const char* what;
    int compartment;       // tension changed (0: none)
    double PN2;            // its nitrogen tension
    double depth;
    double NDL;
    int lead;
  } cases[] = {
      {"start tensions at 6 m: no compartment limits", 0, 0.0, 6.0, 999.99, NO_LIMITING_COMPARTMENT},
      {"start tensions at 30 m", 0, 0.0, 30.0, 17.089909545484073, 2},
      {"tension above its surface M-value, below Pi: negative", 16, 1.3, 30.0, -9.203378188928353, 16},
      {"tension above Pi at the depth: over its limit, 0 min", 1, 4.0, 40.0, 0.0, 1},
      {"a limit of exactly 10 minutes", 2, 1.8429493083425028, 30.0, 10.0, 2},
  };
  for (const Case& c : cases) {
    DiveState st = surface_state();
    if (c.compartment) st.PN2[c.compartment] = c.PN2;
    NoDecompressionLimit r = no_decompression_limit(st, c.depth, "N");
    EXPECT_EQ(r.NDL, c.NDL) << c.what;
    EXPECT_EQ(r.compartment, c.lead) << c.what;
  }
}

// A compartment saturated at the planned depth (its tension equal to the
// inspired pressure there, and above its surface M-value) is at its limit
// already: 0 minutes, not an unlimited time. Just below the inspired pressure
// it still takes up gas while over its M-value: a negative time (evaluated
// independently); just above, it is over its limit: 0 minutes.
TEST(NoDecompressionLimit, TensionAtTheInspiredPressure) {
  const double PI_30M = 3.071761236658117;  // air at 30 m, both gases
  struct Case {
    const char* what;
    double P;
    double NDL;
  } cases[] = {
      {"just below", std::nextafter(PI_30M, 0.0), -1384.2685960117037},
      {"equal", PI_30M, 0.0},
      {"just above", std::nextafter(PI_30M, 9.0), 0.0},
  };
  DiveState air = surface_state();
  ASSERT_EQ(inspired_gas_pressure(air, ambient_pressure(air, 30.0)), PI_30M);
  for (const Case& c : cases) {
    DiveState st = surface_state();
    st.PN2[5] = c.P;
    st.PHE[5] = 0.0;
    NoDecompressionLimit r = no_decompression_limit(st, 30.0, "N");
    EXPECT_EQ(r.NDL, c.NDL) << c.what;
    EXPECT_EQ(r.compartment, 5) << c.what;
  }
}

TEST(NoDecompressionLimit, TieNamesTheLowerCompartment) {
  // Compartment 1 made a copy of compartment 2 (which limits at 30 m), and
  // compartment 7 too: both copies give the same time as compartment 2.
  for (int copy : {1, 7}) {
    DiveState st = surface_state();
    st.AN2[copy] = st.AN2[2], st.BN2[copy] = st.BN2[2], st.KN2[copy] = st.KN2[2];
    st.AHE[copy] = st.AHE[2], st.BHE[copy] = st.BHE[2], st.KHE[copy] = st.KHE[2];
    NoDecompressionLimit r = no_decompression_limit(st, 30.0, "N");
    EXPECT_EQ(r.NDL, 17.089909545484073);
    EXPECT_EQ(r.compartment, std::min(copy, 2));
  }
}

TEST(NoDecompressionLimit, SurchargeShortensAndMixtureIsStored) {
  DiveState st = surface_state();
  EXPECT_EQ(no_decompression_limit(st, 30.0, "Y").NDL, 14.9238214373189);
  st.AMIX.fill(0.0);
  st.BMIX.fill(0.0);
  no_decompression_limit(st, 30.0, "N");
  EXPECT_EQ(st.PIHE, 1.9436483169925e-05);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    MixedCoefficients m = mixture_coefficients(st, i);
    EXPECT_EQ(st.AMIX[i], m.a);
    EXPECT_EQ(st.BMIX[i], m.b);
  }
}

TEST(RepetitiveDiveNdl, AnswersAndDepth) {
  const std::string prompt = " Tiefe des Wdh-TGs in Metern & cm:(m.cm): ";
  struct Case {
    std::vector<std::string> typed;
    std::string printed;
  } cases[] = {
      {{"30."}, prompt + " Wdh Tiefe:30.0  Komp.: 2   Nullzeit: 17.090\n"},
      {{"30"}, prompt + " Nullzeit unbegrenzt\n"},  // 3.0 m
      {{"5.9"}, prompt + " Nullzeit unbegrenzt\n"},
      {{"-12."}, prompt + " Nullzeit unbegrenzt\n"},
      {{""}, prompt + " Nullzeit unbegrenzt\n"},
      {{"6.0"}, prompt + " Wdh Tiefe: 6.0  Komp.: 0   Nullzeit:999.990\n"},
      {{"x", "3 0."}, prompt + prompt + " Wdh Tiefe:30.0  Komp.: 2   Nullzeit: 17.090\n"},
      {{"150."}, prompt + " Wdh Tiefe:****  Komp.: 1   Nullzeit:  1.385\n"},
  };
  for (const Case& c : cases) {
    DiveState st = surface_state();
    EXPECT_EQ(console_of(repetitive_dive_ndl, st, c.typed), c.printed) << c.typed.back();
    EXPECT_EQ(st.DEPTH, 0.0);
  }
}

// The partial pressures are binary128 constants: with 16 % oxygen the double
// 1.3 and 1.1 would print 71.3 and 58.8, and all-double steps 83.8 for 1.5.
// The nitrogen fraction is printed as stored.
TEST(ModListAndNdlTable, ModListOfAStoredGas) {
  DiveState st = surface_state();
  st.FO2 = 0.16;
  st.FN2 = 0.8;
  std::string out = console_of(mod_list_and_ndl_table, st);
  EXPECT_EQ(out.substr(0, out.find("  6.0 m:")),
            "     Gemisch   O2 =  0.16   He =  0.00   N2 =  0.80\n"
            "     MOD @ 3,0 atm pO2 :  177.5\n"
            "     MOD @ 2,5 atm pO2 :  146.2\n"
            "     MOD @ 2,0 atm pO2 :  115.0\n"
            "     MOD @ 1,6 atm pO2 :   90.0\n"
            "     MOD @ 1,5 atm pO2 :   83.7\n"
            "     MOD @ 1,4 atm pO2 :   77.5\n"
            "     MOD @ 1,3 atm pO2 :   71.2\n"
            "     MOD @ 1,2 atm pO2 :   65.0\n"
            "     MOD @ 1,1 atm pO2 :   58.7\n"
            "     MOD @ 1,0 atm pO2 :   52.5\n"
            "     No Decompression Limits / NDL : \n");
  // 20 rows of 20 characters on one open line, DEPTH back at the surface.
  EXPECT_EQ(out.size() - out.find("  6.0 m:"), 400u);
  EXPECT_EQ(out.back(), ' ');
  EXPECT_EQ(st.DEPTH, 0.0);
}

// States no dive leaves but a state file may hold: a trace of oxygen, no
// tensions at all.
TEST(ModListAndNdlTable, DegenerateStatesPrintFieldsFull) {
  DiveState st = surface_state();
  st.FO2 = 0.001;
  st.PN2.fill(0.0), st.PHE.fill(0.0);
  std::string out = console_of(mod_list_and_ndl_table, st);
  EXPECT_NE(out.find("     MOD @ 3,0 atm pO2 :  *****\n"), std::string::npos);
  EXPECT_NE(out.find("  6.0 m: ***** min. "), std::string::npos);
  EXPECT_EQ(st.DEPTH, 0.0);
}

TEST(RepetitiveDiveNdl, RefusedAtDepthLeavesEverything) {
  for (auto handler : {repetitive_dive_ndl, mod_list_and_ndl_table}) {
    DiveState st = surface_state();
    st.DEPTH = 0.1;
    st.AMIX.fill(7.0);
    EXPECT_EQ(console_of(handler, st, {"30."}), " Erst ganz Austauchen!\n");
    EXPECT_EQ(st.DEPTH, 0.1);
    EXPECT_EQ(st.AMIX[5], 7.0);
  }
}

}  // namespace
}  // namespace orva
