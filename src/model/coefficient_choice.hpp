// The dialogue that NC and HC share: the menu, the option, the echo, the set
// name and the mode, the values of the option (stored, computed from surface
// M-values, or a coefficient file), the test listing and the saved copies.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "model/coefficient_files.hpp"
#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

// Compartments 1 to 16 in order.
using Column = std::array<double, COMPARTMENTS>;

struct StoredSet {
  Column TAU, A, B;
};

// A set given by half-time, surface M-value M0 (fsw) and slope dM.
struct M0dMSet {
  Column TAU, M0, DM;
};

// The constants of the conversion to a and b, one pair per gas:
//   a = M0 x C - (K1 x (dM x (X x PAIR))),  b = K2 x (PAIR / (dM x X))
// with X = 100000 / (RHO x GRAV), the metres of water per bar.
struct M0dMConstants {
  double C, K1, K2;
};

struct CoefficientOption {
  const char* name;                    // the set name, 10 characters
  const StoredSet* stored = nullptr;   // one of these three
  const M0dMSet* m0dm = nullptr;
  const char* file = nullptr;
  std::optional<double> RHO = {};      // a water density the option sets
};

struct CoefficientMenu {
  Gas gas;
  const char* header;       // format of the header line
  const char* menu;         // format of the menu, ending with a slash
  int option_width;         // Iw of the option field
  const char* echo;         // format of the echo line, with the option
  M0dMConstants m0dm;
  std::span<const CoefficientOption> options;  // option 1 first
};

// a and b of one compartment from M0 and dM; in double, in this order.
struct CoefficientPair {
  double a, b;
};
CoefficientPair m0dm_coefficients(double M0, double dM, double X, double PAIR, const M0dMConstants& k);

void coefficient_choice(DiveState& st, Platform& p, const CoefficientMenu& menu);

}  // namespace orva
