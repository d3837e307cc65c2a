// The three plots after a trimix dive typed at the console: gas 18/45 by M,
// then D to 40 m for 20 minutes. The compartment figures are those of the
// segment (worked out apart from the code), the pixel rows those of the
// plots' world windows.
#include <gtest/gtest.h>

#include "platform/recording_canvas.hpp"
#include "plots/grid_expect.hpp"
#include "support/session.hpp"

using namespace orva;
using namespace orva::testing;

namespace {

const char* const TRIMIX_DIVE = "M\n0.18\n0.45\nD\n40.\n20.\n";

void plot_after_dive(const std::string& command, RecordingCanvas& canvas) {
  TempHome home(false);
  SessionResult r = run_session(std::string(TRIMIX_DIVE) + command + "\n\nQ\n", home.path(), &canvas);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.unread, 0u);
}

int top_of(const GfxCall& fill) { return std::min(fill.a.y, fill.b.y); }

}  // namespace

// Pamb 4.92940 bar, pO2 0.887, EAD 13.4 m, CNS 5.6 %, OTU 16.2, K CNS 162.2,
// ESOT 14.77 and PrT 22.04 (below 25: white).
TEST(PlotsAfterADive, CompartmentPlotHeader) {
  RecordingCanvas canvas;
  plot_after_dive("P", canvas);
  const std::vector<GridRow> rows = {
      {2, " Tiefe:  40.0 m   Zeit:     20.0 min  max. Tiefe=  40.0 ges. Tauchzeit=     20.0",
       " FFFFFF  FFFF F   FFFFF     FFFF FFF  FFFF FFFFFF  FFFF FFFF FFFFFFFFFF     FFFF"},
      {3, "Sauerstoffpartialdruck:    0.887  MIX (in %) O2:  18.00   He: 45.00   N2: 37.00",
       "FFFFFFFFFFFFFFFFFFFFFFF    FFFFF  FFF FFF FF FFF  FFFFF   FFF FFFFF   FFF FFFFF"},
      {4, "    berechneter                   EAD (in m): 13.4    %CNS =    6.  OTU =   16.",
       "    EEEEEEEEEEE                   FFF FFF FFF FFFF    FFFF F    FF  FFF F   FFF"},
      {5, "Stickstoffpartialdruck / Helium   AMV (L/min.)=  25.  Rq = 1.00     VO2 = 0.25",
       "EEEEEEEEEEEEEEEEEEEEEE 9 999999   FFF FFFFFFFFF  FFF  FF F FFFF     FFF F FFFF"},
      {6, "in den Kompartimenten (Bar)       Luftdruck (Bar): 1.013            AR =   9.000",
       "EE EEE EEEEEEEEEEEEEE EEEEE       FFFFFFFFF FFFFFF FFFFF            FF F   FFFFF"},
      {7, "    Summe = P Gewebe N2 + P Gewebe He             MOD @ 1,6 atm pO2:  79.",
       "    FFFFF F F FFFFFF FF F F FFFFFF FF             FFF F FFF FFF FFFF  FFF"},
      {8, "                                  K CNS-OT:     162.  Wassertemp.:    20.00",
       "                                  F FFFFFFF     FFFF  FFFFFFFFFFFF    FFFFF"},
      {9, "                                  K   P-OT:      0.   Wasserdichte:  998.4030",
       "                                  F   FFFFF      FF   FFFFFFFFFFFFF  FFFFFFFF"},
      {15, "                                                        N2 Matrix:   ZH-L 16C",
       "                                                        AA AAAAAAA   AAAA AAA"},
      {17, "                                                        ESOT:    14.77",
       "                                                        FFFFF    FFFFF"},
      {18, "                                                        PrT:    22.0",
       "                                                        FFFF    FFFF"},
  };
  for (const GridRow& e : rows) {
    EXPECT_EQ(right_trimmed(canvas.row_text(e.row)), e.text) << "row " << e.row;
    EXPECT_EQ(right_trimmed(canvas.row_colours(e.row)), e.colours) << "row " << e.row;
  }
}

// Inspired-pressure lines: N2 1.80057, He 2.21823, sum 4.04210 bar; per
// compartment the tops of the three bars and the lowest and highest of the
// six tolerated-pressure lines.
TEST(PlotsAfterADive, CompartmentPlotBarsAndMarks) {
  RecordingCanvas canvas;
  plot_after_dive("P", canvas);
  std::vector<GfxCall> lines = canvas.calls("line"), fills = canvas.calls("fill");
  ASSERT_EQ(lines.size(), 31u + 96u);
  ASSERT_EQ(fills.size(), 2u + 48u);
  EXPECT_EQ(lines[21].a.y, 349) << "nitrogen line";
  EXPECT_EQ(lines[23].a.y, 326) << "helium line";
  EXPECT_EQ(lines[25].a.y, 223) << "sum line";
  struct Row {
    int n2, he, sum, mark, mark_top;
  };
  const Row rows[17] = {{},
                        {351, 327, 228, 388, 386}, {359, 329, 237, 363, 361}, {368, 334, 251, 355, 354},
                        {376, 344, 270, 354, 353}, {383, 359, 291, 359, 358}, {389, 375, 313, 369, 367},
                        {393, 390, 332, 379, 377}, {396, 404, 350, 388, 386}, {399, 416, 364, 396, 395},
                        {401, 423, 373, 402, 400}, {402, 429, 380, 406, 404}, {403, 433, 385, 409, 407},
                        {403, 437, 389, 411, 409}, {404, 440, 393, 412, 411}, {404, 442, 395, 414, 412},
                        {404, 444, 398, 414, 413}};
  for (int i = 1; i <= 16; ++i) {
    const Row& e = rows[i];
    EXPECT_EQ(top_of(fills[2 + 3 * (i - 1)]), e.n2) << "nitrogen bar " << i;
    EXPECT_EQ(top_of(fills[3 + 3 * (i - 1)]), e.he) << "helium bar " << i;
    EXPECT_EQ(top_of(fills[4 + 3 * (i - 1)]), e.sum) << "sum bar " << i;
    EXPECT_EQ(lines[31 + 6 * (i - 1)].a.y, e.mark) << "mark " << i;
    EXPECT_EQ(lines[36 + 6 * (i - 1)].a.y, e.mark_top) << "top line of mark " << i;
  }
}

// %P: the nitrogen tensions at 40 m stand at 15.4 % to 19.1 % of their
// M-values; HM: the summed tensions against the mixed coefficients D left,
// 17.5 % to 42.8 %. All green.
TEST(PlotsAfterADive, PercentBars) {
  const int n2_tops[17] = {0, 364, 355, 354, 355, 358, 360, 362, 363, 364, 365, 366, 366, 366, 366, 366, 366};
  const int mix_tops[17] = {0, 312, 285, 279, 279, 286, 298, 310, 322, 332, 340, 345, 349, 353, 355, 358, 359};
  struct Case {
    const char* command;
    const int* tops;
  };
  for (const Case& c : {Case{"%P", n2_tops}, Case{"HM", mix_tops}}) {
    SCOPED_TRACE(c.command);
    RecordingCanvas canvas;
    plot_after_dive(c.command, canvas);
    std::vector<GfxCall> fills = canvas.calls("fill");
    ASSERT_EQ(fills.size(), 16u);
    for (int i = 1; i <= 16; ++i) {
      EXPECT_EQ(top_of(fills[i - 1]), c.tops[i]) << "compartment " << i;
      EXPECT_EQ(fills[i - 1].colour, 10) << "compartment " << i;
    }
    EXPECT_EQ(right_trimmed(canvas.row_text(4)).substr(59), " Tiefe:  40.0 m");
    EXPECT_EQ(right_trimmed(canvas.row_text(5)).substr(59), " Zeit:     20.0 min");
  }
}
