// Each settings command changes the values it names and nothing else: the
// state after a session with the command is compared, value by value, with
// the state after the same session without it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell/settings_cases.hpp"

namespace orva {
namespace {

using testing::changed;

struct ScopeCase {
  const char* typed;
  std::set<std::string> changes;
};

TEST(SettingsCommands, ChangeOnlyTheValuesTheyName) {
  // A dive first, so that tensions, ceilings and oxygen sums are not at their
  // start values.
  const std::string dive = "D\n30.\n20.\n";
  const ScopeCase cases[] = {
      {"M\n0.32\n0.1\n", {"FO2", "FHE", "FN2"}},
      {"V\n20\n", {"AMV"}},
      {"R\n0.8\n", {"RQ"}},
      {"BP\n", {"FN2", "FO2", "AMV", "PAIR", "ASCRATE", "RHO", "GRAV"}},
      {"L\n0.9\n", {"PAIR"}},
      {"DI\n1025.2\n", {"RHO"}},
      {"TE\n10.0\n", {"TWATER", "RHO"}},
      {"TE\n20.0\n", {}},
      {"LS\n6.0\n", {"LASTSTOP"}},
      {"AR\n18.\n", {"ASCRATE"}},
      {"GF\n0.3\n0.8\n", {"GFHI", "GFLO", "GFFLAG"}},
      {"LAT\n", {"LATENCY"}},
      {"O2\n45.0\n", {"O2HWZ"}},
      {"?\n\n", {}},
  };
  const DiveState without = testing::state_after(dive);
  for (const ScopeCase& c : cases)
    EXPECT_EQ(changed(without, testing::state_after(dive + c.typed)), c.changes) << c.typed;
}

}  // namespace
}  // namespace orva
