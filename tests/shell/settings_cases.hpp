// Shared by the tests of the settings commands and the state file: the state
// a typed session leaves, a table row of one typed session and one value it
// must leave, and the names of the values in which two states differ.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "support/session.hpp"

namespace orva::testing {

// The state after the typed lines and Q, in a data folder without PROT (so
// no comment question comes first).
inline DiveState state_after(const std::string& typed) {
  TempHome home(false);
  return run_session(typed + "Q\n", home.path()).state;
}

struct ValueCase {
  const char* typed;
  double DiveState::*field;
  double expected;
};

struct Named {
  const char* name;
  double DiveState::*value;
};

inline const std::vector<Named> SCALARS = {
    {"RHO", &DiveState::RHO},         {"GRAV", &DiveState::GRAV},         {"TWATER", &DiveState::TWATER},
    {"PAIR", &DiveState::PAIR},       {"FTPERM", &DiveState::FTPERM},     {"FSWBAR", &DiveState::FSWBAR},
    {"FO2", &DiveState::FO2},         {"FHE", &DiveState::FHE},           {"FN2", &DiveState::FN2},
    {"AMV", &DiveState::AMV},         {"RQ", &DiveState::RQ},             {"VO2", &DiveState::VO2},
    {"DEPTH", &DiveState::DEPTH},     {"TIME", &DiveState::TIME},         {"DIVETIME", &DiveState::DIVETIME},
    {"MAXDEPTH", &DiveState::MAXDEPTH}, {"TSTART", &DiveState::TSTART},   {"ASCRATE", &DiveState::ASCRATE},
    {"LASTSTOP", &DiveState::LASTSTOP}, {"DEEPSTOP", &DiveState::DEEPSTOP}, {"GFHI", &DiveState::GFHI},
    {"GFLO", &DiveState::GFLO},       {"GFCUR", &DiveState::GFCUR},       {"OTU", &DiveState::OTU},
    {"CNS", &DiveState::CNS},         {"O2HWZ", &DiveState::O2HWZ},       {"SQKCNS", &DiveState::SQKCNS},
    {"KCNS", &DiveState::KCNS},       {"SQKPOT", &DiveState::SQKPOT},     {"KPOT", &DiveState::KPOT},
    {"ESOT", &DiveState::ESOT},       {"PRT", &DiveState::PRT},           {"PO2MAX", &DiveState::PO2MAX},
    {"PIHE", &DiveState::PIHE},
};

// The names of the values that differ between the two states.
inline std::set<std::string> changed(const DiveState& a, const DiveState& b) {
  std::set<std::string> out;
  for (const Named& n : SCALARS)
    if (a.*n.value != b.*n.value) out.insert(n.name);
  if (a.BZFLAG != b.BZFLAG) out.insert("BZFLAG");
  if (a.GFFLAG != b.GFFLAG) out.insert("GFFLAG");
  if (a.NUMFLAG != b.NUMFLAG) out.insert("NUMFLAG");
  if (a.LATENCY != b.LATENCY) out.insert("LATENCY");
  if (a.PN2 != b.PN2 || a.PHE != b.PHE || a.PSUM != b.PSUM) out.insert("tensions");
  if (a.PAMBTOL != b.PAMBTOL || a.CEILM != b.CEILM || a.AMIX != b.AMIX || a.BMIX != b.BMIX)
    out.insert("tolerances");
  if (a.KN2 != b.KN2 || a.KHE != b.KHE || a.AN2 != b.AN2 || a.BN2 != b.BN2 || a.AHE != b.AHE || a.BHE != b.BHE)
    out.insert("coefficients");
  return out;
}

}  // namespace orva::testing
