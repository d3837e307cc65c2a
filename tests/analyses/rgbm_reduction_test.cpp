#include "analyses/rgbm_reduction.hpp"

#include <gtest/gtest.h>

#include "analyses/analysis_fixture.hpp"
#include "platform/format.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

std::string row_text(const RgbmMatrix& m, int row) {
  std::string s;
  for (double c : m.cell[row]) s += " " + format_fixed(c, 5, 3);
  return s;
}

TEST(RgbmReduction, FactorsOfTheMatrix) {
  const RgbmMatrix m = rgbm_matrix(30.0, 1);
  EXPECT_EQ(format_fixed(m.CHI3, 5, 3), "0.976");
  EXPECT_EQ(row_text(m, 0), " 0.634 0.615 0.598 0.583 0.570 0.558 0.548 0.539 0.531 0.524 0.518 0.513 0.508");
  EXPECT_EQ(format_fixed(rgbm_matrix(30.0, 12).CHI3, 5, 3), "0.810");
  // Depth step 0: CHI2 is 1 and the cell is CHI1 x CHI3; at SI = 30 CHI1 is 0.55.
  EXPECT_EQ(m.cell[1][0], 0.55 * m.CHI3);
  // Recomputed independently to the last bit.
  EXPECT_EQ(m.CHI3, 0.976013324388797);
  EXPECT_EQ(m.cell[3][7], 0.6007199665258673);
  EXPECT_EQ(m.cell[6][12], 0.7809210881823554);
}

TEST(RgbmReduction, PrintsTheMatrixForTheTypedDive) {
  DiveState st = start_state();  // no dive yet: MAXDEPTH 0, P is 1 bar
  // 13, 0 and a letter ask again with the second line only.
  EXPECT_EQ(console_of(rgbm_reduction_factors, st, {"13", "0", "x", "12"}),
            "  ... der wievielte TG des Tages soll simuliert werden?  \n"
            " als einfache Zahl, N = 1 ... 12 \n"
            " als einfache Zahl, N = 1 ... 12 \n"
            " als einfache Zahl, N = 1 ... 12 \n"
            " als einfache Zahl, N = 1 ... 12 \n"
            "  Tauchgang Nummer: 12 reduction factor CHI 3 = 0.810   \n"
            "  Matrix der bubble factors (GF) = CHI1*CHI2*CHI3:\n"
            "Delta P (in [m])  0m,   5m,   10m,  15m,  20m,  25m,  30m,  35m,  40m,  45m,  50m,  55m,  60m\n"
            "  SI=  15[min]  0.526 0.473 0.441 0.422 0.410 0.402 0.398 0.395 0.394 0.393 0.392 0.392 0.392 \n"
            "  SI=  30[min]  0.446 0.384 0.347 0.324 0.311 0.302 0.297 0.294 0.292 0.291 0.291 0.290 0.290 \n"
            "  SI=  45[min]  0.526 0.439 0.386 0.354 0.334 0.322 0.315 0.311 0.308 0.306 0.305 0.305 0.304 \n"
            "  SI=  60[min]  0.676 0.556 0.484 0.440 0.413 0.397 0.387 0.381 0.377 0.375 0.374 0.373 0.373 \n"
            "  SI=  75[min]  0.772 0.644 0.566 0.518 0.490 0.472 0.462 0.455 0.452 0.449 0.448 0.447 0.446 \n"
            "  SI=  90[min]  0.804 0.693 0.626 0.585 0.560 0.545 0.536 0.531 0.527 0.525 0.524 0.523 0.523 \n"
            "  SI= 105[min]  0.810 0.728 0.678 0.648 0.630 0.619 0.612 0.608 0.606 0.604 0.603 0.603 0.603 \n");
}

TEST(RgbmReduction, DiveNumberAnswers) {
  DiveState st = start_state();
  st.MAXDEPTH = 30.0;
  testing::expect_answers(rgbm_reduction_factors, st, " als einfache Zahl, N = 1 ... 12 \n",
                          {
                              {{"", "5"}, 2, "5"},          // empty reads 0: asked again
                              {{"1.", "-1", "1"}, 3, "1"},  // a point is malformed in an I2 field
                              {{"123"}, 1, "12"},           // the first two characters
                          });
}

}  // namespace
}  // namespace orva
