#include "prognosis/plain_prognosis.hpp"

#include <gtest/gtest.h>

#include "model/ascent_to_stage.hpp"
#include "model/depth_time_segment.hpp"
#include "model/started_state.hpp"

namespace orva {
namespace {

using testing::StartedState;

// The lines from the heading of the prognosis on.
std::vector<std::string> prognosis_lines(const std::vector<std::string>& lines) {
  for (size_t k = 0; k < lines.size(); ++k)
    if (lines[k] == "  Deko Prognose: ") return {lines.begin() + static_cast<long>(k), lines.end()};
  return {};
}

TEST(PlainPrognosis, TrimixDiveAfterAnAscentToFifteenMetres) {
  // 40 m for 25 min on 20 % oxygen and 30 % helium, then A to 15 m.
  StartedState s({"40.", "25.", "15."});
  s.st.FO2 = 0.2;
  s.st.FHE = 0.3;
  s.st.FN2 = 0.5;
  depth_time_segment(s.st, s.p);
  segment_saturation(s.st, s.p);
  ascent_to_stage(s.st, s.p);
  Comp PN2 = s.st.PN2, PHE = s.st.PHE, CEILM = s.st.CEILM;
  plain_deco_prognosis(s.st, s.p);

  std::vector<std::string> expected = {
      "  Deko Prognose: ",
      "    9m Stopp Prognose Dekozeit:     2.0  Komp.#:  4",
      "    6m Stopp Prognose Dekozeit:     6.0  Komp.#:  5",
      "    3m Stopp Prognose Dekozeit:    15.0  Komp.#:  7",
      " TTS =     24.0",
  };
  EXPECT_EQ(prognosis_lines(s.lines()), expected);
  // The helium proposals and the ascent lines of A before it.
  for (const char* line : {" PDIS fuer TAU =  22.60 min:  21.36 [m]", " PDIS fuer TAU =  48.01 min:  12.03 [m]",
                           "  Nr.:  1 2.1675 P N2 1.1406 P HE Sum.=  3.3080 Ceil. m=   0.00   Putol:  0.898",
                           "  Nr.:  9 1.0541 P N2 0.5281 P HE Sum.=  1.5822 Ceil. m=   0.05   Putol:  1.018",
                           "  Nr.: 16 0.8474 P N2 0.1096 P HE Sum.=  0.9570 Ceil. m=   0.00   Putol:  0.665"})
    EXPECT_NE(s.p.output().find(std::string(line) + "\n"), std::string::npos) << line;
  EXPECT_NE(s.p.output().find("Austauchstufe:  15.00  Aufstiegszeit:      2.8  P insp N2:  2.433  P insp He:  1.460\n"),
            std::string::npos);
  EXPECT_EQ(s.st.DEEPSTOP, 9.0);
  // PIHE at the 3-m stop; AMIX and BMIX of the working tensions at its start.
  EXPECT_EQ(s.st.PIHE, 0.37311889901955);
  EXPECT_EQ(s.st.AMIX[1], 1.4002074578446135);
  EXPECT_EQ(s.st.BMIX[16], 0.960609599814717);
  EXPECT_EQ(s.st.PN2, PN2);
  EXPECT_EQ(s.st.PHE, PHE);
  EXPECT_EQ(s.st.CEILM, CEILM);
  EXPECT_EQ(s.st.DEPTH, 15.0);
}

TEST(PlainPrognosis, WithoutCeilingsOneStopAtThreeMetres) {
  // At 1 m/min the 3-m move alone gives trunc(3) + 1 minutes; no compartment
  // needs time, so compartment 16 is shown.
  StartedState s;
  s.st.DEPTH = 10.0;
  s.st.ASCRATE = 1.0;
  s.st.DEEPSTOP = 12.0;
  plain_deco_prognosis(s.st, s.p);
  std::vector<std::string> expected = {
      "  Deko Prognose: ",
      "    3m Stopp Prognose Dekozeit:     4.0  Komp.#: 16",
      " TTS =     14.0",
  };
  EXPECT_EQ(s.lines(), expected);
  EXPECT_EQ(s.st.DEEPSTOP, 3.0);
}

}  // namespace
}  // namespace orva
