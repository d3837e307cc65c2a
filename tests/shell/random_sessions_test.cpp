// Sessions of random commands and answers, the kind a diver types by mistake:
// whatever comes, ORVA answers, ends at the end of the input with exit code 0
// and never crashes (the tests run under the sanitizers).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/session.hpp"

namespace orva {
namespace {

using testing::run_session;
using testing::TempHome;

// ON is left out: a numeric prognosis with a tiny typed step runs for minutes.
const std::vector<std::string> WORDS = {
    "?",  "??",  "HELP", "D",  "E",   "O",    "A",   "Z",   "F",   "N",  "M",  "P",  "%P", "T",  "V",
    "R",  "W",   "L",    "S",  "PMRC", "NC",  "HC",  "ASY", "OC",  "RL", "B",  "LS", "AR", "AD", "TBM",
    "GF", "MX",  "TA",   "PDCS", "BPA", "RE", "LAT", "O2",  "DI",  "TE", "RS", "BP", "HM", "CP", "CS",
    "SAT", "K",  "DS",   "CLR", "OFF", "xyz", ""};
const std::vector<std::string> ANSWERS = {"",    "0",   "1",  "3.",   "9.",    "12.5", "30.", "45.",  "60.",
                                          "100.", "-5", "abc", "1,5", "0.5",   "0.3",  "2",   "R",    "W",
                                          "N",   "Y",   "../x", "TEST", "999999", "0.85", "21",  "15.", "1.2.3"};

TEST(RandomSessions, EndCleanlyWhateverIsTyped) {
  std::mt19937 rng(20261210);
  auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
  size_t total = 0;
  for (int session = 0; session < 40; ++session) {
    std::string input = "random\n";
    int commands = 5 + static_cast<int>(rng() % 30);
    for (int c = 0; c < commands; ++c) {
      input += pick(WORDS) + "\n";
      for (int a = static_cast<int>(rng() % 5); a > 0; --a) input += pick(ANSWERS) + "\n";
    }
    TempHome home;
    auto r = run_session(input, home.path());
    EXPECT_EQ(r.exit_code, 0) << input;
    EXPECT_NE(r.output.find("See you later alligator"), std::string::npos) << input;
    total += r.output.size();
  }
  // The sessions reach the handlers, not only the prompt.
  EXPECT_GT(total, 40u * 2000u);
}

}  // namespace
}  // namespace orva
