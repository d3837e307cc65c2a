#include "analyses/risk_estimators.hpp"

#include <gtest/gtest.h>

#include "analyses/analysis_fixture.hpp"
#include "model/kernel.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

// Tensions well above the surface values (with helium), or all below PAIR;
// AMIX and BMIX as the mixture of the start coefficients.
DiveState fixture(bool loaded) {
  DiveState st = start_state();
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = loaded ? 0.6 + 0.15 * i : 0.5 + 0.01 * i;
    st.PHE[i] = loaded ? 0.04 * i : 0.0;
    MixedCoefficients m = mixture_coefficients(st, i);
    st.AMIX[i] = m.a;
    st.BMIX[i] = m.b;
  }
  return st;
}

struct RiskCase {
  const char* name;
  bool loaded;
  double MAXDEPTH, DEPTH, TIME, DIVETIME, TSTART;
  // EOD x6, OTF x3, SDEV, MEAN, TQR I, TQR II, SDEV, MEAN
  std::array<double, 15> expected;
};

// Recomputed independently to the last bit.
const RiskCase RISK_CASES[] = {
    // No ascent yet: R is infinite and each OTF is B x G plus its full factor.
    {"loaded, no ascent yet", true, 40.0, 9.0, 10.0, 45.0, 0.0,
     {1.8101145113524189, 1.076214215195257, 2.5440148075024682, 0.6483218163869695, 0.12966436327739392,
      1.166979269496545, 0.35217607326407097, 0.28000562455824524, 0.4243465219698967, 0.14807287156144927,
      0.5002489448255203, 0.06374475830871676, 0.3889745783615687, 0.16261491002642597, 0.2263596683351427}},
    // R - 0.106 below 0 makes OTF MAX negative; it is printed as it comes.
    {"loaded, after an ascent", true, 40.0, 9.0, 10.0, 45.0, 30.0,
     {1.8101145113524189, 1.076214215195257, 2.5440148075024682, 0.6483218163869695, 0.12966436327739392,
      1.166979269496545, 0.3465978192603602, 0.2799658877579978, -0.33868231898481427, 0.15086199856330465,
      0.4974598178236649, 0.06374475830871676, 0.3889745783615687, 0.16261491002642597, 0.2263596683351427}},
    // The whole dive one segment at the deepest depth: TQR I is C x H + 0.005, B is 0.35.
    {"loaded, one segment", true, 25.0, 25.0, 20.0, 20.0, 0.0,
     {1.810114447041485, 1.0762032324317388, 2.544014807187792, 0.6483218155374025, 0.12966436326893443,
      1.1669792387813298, 0.2987778768341742, 0.23141785390969388, 0.3661378997586546, 0.17477196935161415,
      0.4735498461857884, 0.0653159508871725, 0.38624574399887157, 0.16046489655584956, 0.22578084744302204}},
    // No compartment above PAIR: X < 0, the EOD values are negative and do not count.
    {"below surface pressure", false, 12.0, 3.0, 4.0, 30.0, 12.0,
     {-0.2432319842248515, -0.14461504168380526, -0.3418489634748358, -0.08711747285296165, -0.017423494570582534,
      -0.15681145114326642, 0.2901254964855548, 0.22819898215624695, 0.29884212178406333, 0.0, 0.2901254964855548,
      0.11090775541579072, -0.05264229653824722, 0.0, 0.11090775541579072}},
};

TEST(RiskEstimators, ValuesFromTheTensionsTheDiveLeft) {
  for (const RiskCase& c : RISK_CASES) {
    DiveState st = fixture(c.loaded);
    st.MAXDEPTH = c.MAXDEPTH;
    st.DEPTH = c.DEPTH;
    st.TIME = c.TIME;
    st.DIVETIME = c.DIVETIME;
    st.TSTART = c.TSTART;
    RiskEstimates r = risk_estimates(st);
    const std::array<double, 15> got = {r.EOD[0], r.EOD[1], r.EOD[2], r.EOD[3],     r.EOD[4],
                                        r.EOD[5], r.OTF[0], r.OTF[1], r.OTF[2],     r.first.SDEV,
                                        r.first.MEAN, r.TQR1, r.TQR2, r.second.SDEV, r.second.MEAN};
    for (size_t j = 0; j < got.size(); ++j) EXPECT_EQ(got[j], c.expected[j]) << c.name << ", value " << j;
  }
}

TEST(RiskEstimators, SummaryCountsOnlyValuesFromZeroBelowOne) {
  struct Row {
    std::initializer_list<double> values;
    double SDEV, MEAN;
  };
  const Row rows[] = {
      {{0.2, 0.4, 0.6}, 0.1632993161855452, 0.4000000000000001},
      {{0.0, 1.0, -0.1}, 0.0, 0.0},             // 0 counts, 1 and below 0 do not
      {{0.999999, 1.5, 0.5}, 0.24999949999999999, 0.7499994999999999},
      {{0.05, 0.3}, 0.12499999999999999, 0.175},
      {{1.0, -0.0001}, 0.0, 0.0},               // none counts: shown as 0
  };
  for (const Row& row : rows) {
    RiskSummary s = summary_of_counted(row.values);
    EXPECT_EQ(s.SDEV, row.SDEV) << *row.values.begin();
    EXPECT_EQ(s.MEAN, row.MEAN) << *row.values.begin();
  }
}

TEST(RiskEstimators, PrintsTheEstimatesAndLeavesTheStateAlone) {
  DiveState st = fixture(false);
  st.MAXDEPTH = 12.0;
  st.DEPTH = 3.0;
  st.TIME = 4.0;
  st.DIVETIME = 30.0;
  st.TSTART = 12.0;
  const DiveState before = st;
  EXPECT_EQ(console_of(risk_estimators, st),
            "  ********************RISK ESTIMATORS*************************\n"
            "\n"
            "  Methode VI:  EOD            2015,          P(DCS) = -0.24323\n"
            "  Methode VI:  EOD MIN        2015,          P(DCS) = -0.14462\n"
            "  Methode VI:  EOD MAX        2015,          P(DCS) = -0.34185\n"
            "  Methode VI:  EOD2           2015,          P(DCS) = -0.08712\n"
            "  Methode VI:  EOD2 MIN       2015,          P(DCS) = -0.01742\n"
            "  Methode VI:  EOD2 MAX       2015,          P(DCS) = -0.15681\n"
            "  Methode VI:  OTF            2015,          P(DCS) =  0.29013\n"
            "  Methode VI:  OTF MIN        2015,          P(DCS) =  0.22820\n"
            "  Methode VI:  OTF MAX        2015,          P(DCS) =  0.29884\n"
            "  SDEV =  0.00000                            MEAN   =  0.29013\n"
            "  ************************************************************\n"
            "  Meth. TQR I: OTF folded over EOD,          P(DCS) =  0.11091\n"
            "  Meth. TQR II:  generic gas model,          P(DCS) = -0.05264\n"
            "  SDEV =  0.00000                            MEAN   =  0.11091\n");
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(st.PN2[i], before.PN2[i]);
    EXPECT_EQ(st.AMIX[i], before.AMIX[i]);
    EXPECT_EQ(st.BMIX[i], before.BMIX[i]);
  }
  EXPECT_EQ(st.TSTART, before.TSTART);
  EXPECT_EQ(st.DIVETIME, before.DIVETIME);
}

TEST(RiskEstimators, AValueTooWideForItsFieldShowsAsterisks) {
  DiveState st = fixture(true);
  for (int i = 1; i <= COMPARTMENTS; ++i) st.PN2[i] = 150.0;  // X near 150: EOD MAX about 147
  st.MAXDEPTH = 40.0;
  st.DEPTH = 9.0;
  st.TIME = 10.0;
  st.DIVETIME = 45.0;
  std::string out = console_of(risk_estimators, st);
  EXPECT_NE(out.find("  Methode VI:  EOD MAX        2015,          P(DCS) = ********\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace orva
