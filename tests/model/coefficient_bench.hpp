// A bench for the coefficient commands: a state as the program start leaves
// it, one handler run on typed lines, and coefficient files written by the
// tests themselves.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/dive_state.hpp"
#include "model/kernel.hpp"
#include "model/started_state.hpp"
#include "support/fake_platform.hpp"
#include "support/handler_run.hpp"
#include "support/session.hpp"

namespace orva::bench {

using testing::console_of;
using testing::occurrences;

// One-time start-up and reset, without the protocol start.
inline DiveState started_state() { return testing::StartedState().st; }

// A compartment line in the columns of a coefficient file: text in 1-4,
// half-time in 5-11, a in 14-19, b in 22-27, factors in 31-33 and 36-38.
inline std::string file_line(int i, double tau, double a, double b, const char* gfhi = "1.0",
                             const char* gflo = "1.0") {
  char line[80];
  std::snprintf(line, sizeof line, "K%02d %7.2f  %6.4f  %6.4f   %3s  %3s", i, tau, a, b, gfhi, gflo);
  return line;
}

// The values of the test file: every compartment different from every built-in set.
inline double file_tau(int i) { return 3.25 * i + 0.5; }
inline double file_a(int i) { return 1.5 - 0.0625 * i; }
inline double file_b(int i) { return 0.5 + 0.0275 * i; }

// A good file of 17 lines; factors 1.0 unless changed afterwards.
inline std::vector<std::string> good_file() {
  std::vector<std::string> lines = {"TEST SET OF THE DIVE CLUB, NOT FOR DIVING"};
  for (int i = 1; i <= COMPARTMENTS; ++i) lines.push_back(file_line(i, file_tau(i), file_a(i), file_b(i)));
  return lines;
}

inline std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// Every rate constant is ln2 / half-time in binary128, and the copies that
// CLR restores are the chosen set.
inline void expect_rate_constants_and_copies(MatrixView m, const std::string& what) {
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(m.K[i], to_double(LN2 / q(m.TAU[i]))) << what << " compartment " << i;
    EXPECT_EQ(m.TAU_COPY[i], m.TAU[i]) << what << " compartment " << i;
    EXPECT_EQ(m.K_COPY[i], m.K[i]) << what << " compartment " << i;
  }
}

}  // namespace orva::bench
