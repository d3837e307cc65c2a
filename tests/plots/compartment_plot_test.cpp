// The compartment pressure plot P on the recording canvas: the text grid row
// by row with its colours, and the pixels of the lines, bars and marks worked
// out from the plot's world window (x -0.4 .. 18.0, y -0.5 .. 8.0 bar).
#include "plots/compartment_plot.hpp"

#include <gtest/gtest.h>

#include "platform/recording_canvas.hpp"
#include "plots/grid_expect.hpp"
#include "support/plot_run.hpp"
#include "support/session.hpp"

using namespace orva;
using namespace orva::testing;

namespace {

struct Stroke {
  int colour;
  Pixel a, b;
};

void expect_strokes(const std::vector<GfxCall>& calls, size_t first, const std::vector<Stroke>& expected,
                    const char* what) {
  ASSERT_GE(calls.size(), first + expected.size()) << what;
  for (size_t k = 0; k < expected.size(); ++k) {
    const GfxCall& c = calls[first + k];
    const Stroke& e = expected[k];
    EXPECT_EQ(c.colour, e.colour) << what << " #" << k;
    EXPECT_EQ(c.a, e.a) << what << " #" << k << " from (" << c.a.x << ", " << c.a.y << ")";
    EXPECT_EQ(c.b, e.b) << what << " #" << k << " to (" << c.b.x << ", " << c.b.y << ")";
  }
}

struct Plotted {
  RecordingCanvas canvas;
  PlotRun run;
};

std::unique_ptr<Plotted> plot_trimix_dive() {
  auto p = std::make_unique<Plotted>();
  DiveState st = trimix_dive_state();
  p->run = run_plot(compartment_pressure_plot, st, p->canvas);
  return p;
}

}  // namespace

// Trimix at 42.3 m: Pamb 5.26491827375, pO2 0.9477 (white), CNS 103.4 (red
// from "%CNS =" on), PrT 26.2 (ESOT and PrT red). The first header line and
// the ascent rate run past column 80 and are clipped there.
TEST(CompartmentPlot, TextGridOfATrimixDive) {
  auto p = plot_trimix_dive();
  expect_grid(p->canvas,
              {
                  {1, " ORVA V 3_10", " CCCC C CCCC"},
                  {2, " Tiefe:  42.3 m   Zeit:     25.0 min  max. Tiefe=  45.0 ges. Tauchzeit=     31.5",
                   " FFFFFF  FFFF F   FFFFF     FFFF FFF  FFFF FFFFFF  FFFF FFFF FFFFFFFFFF     FFFF"},
                  {3, "Sauerstoffpartialdruck:    0.948  MIX (in %) O2:  18.00   He: 45.00   N2: 37.00",
                   "FFFFFFFFFFFFFFFFFFFFFFF    FFFFF  FFF FFF FF FFF  FFFFF   FFF FFFFF   FFF FFFFF"},
                  {4, "    berechneter                   EAD (in m): 14.5    %CNS =  103.  OTU =   58.",
                   "    EEEEEEEEEEE                   FFF FFF FFF FFFF    CCCC C  CCCC  CCC C   CCC"},
                  {5, "Stickstoffpartialdruck / Helium   AMV (L/min.)=  22.  Rq = 0.90     VO2 = 0.30",
                   "EEEEEEEEEEEEEEEEEEEEEE 9 999999   CCC CCCCCCCCC  CCC  CC C CCCC     CCC C CCCC"},
                  {6, "in den Kompartimenten (Bar)       Luftdruck (Bar): 1.013            AR =  10.000",
                   "EE EEE EEEEEEEEEEEEEE EEEEE       CCCCCCCCC CCCCCC CCCCC            CC C  CCCCCC"},
                  {7, "    Summe = P Gewebe N2 + P Gewebe He             MOD @ 1,6 atm pO2:  79.",
                   "    FFFFF F F FFFFFF FF F F FFFFFF FF             CCC C CCC CCC CCCC  CCC"},
                  {8, "                                  K CNS-OT:   12346.  Wassertemp.:    12.50",
                   "                                  C CCCCCCC   CCCCCC  CCCCCCCCCCCC    CCCCC"},
                  {9, "                                  K   P-OT:    678.   Wasserdichte: 1025.0000",
                   "                                  C   CCCCC    CCCC   CCCCCCCCCCCCC CCCCCCCCC"},
                  {11, "                                      inspiratorischer Inertgasdruck (Summe)",
                   "                                      FFFFFFFFFFFFFFFF FFFFFFFFFFFFF FFFFFFF"},
                  {12, "                                      inspiratorischer Inertgasdruck N2: -->",
                   "                                      AAAAAAAAAAAAAAAA AAAAAAAAAAAAA AAA AAA"},
                  {13, "                                      inspiratorischer Inertgasdruck HE: -->",
                   "                                      9999999999999999 9999999999999 999 999"},
                  {15, "                                                        N2 Matrix:   ZH-L 16B",
                   "                                                        AA AAAAAAA   AAAA AAA"},
                  {16, "                                                        He Matrix:   ZH-L 16C",
                   "                                                        99 9999999   9999 999"},
                  {17, "                                                        ESOT:    14.25",
                   "                                                        CCCCC    CCCCC"},
                  {18, "                                                        PrT:    26.2",
                   "                                                        CCCC    CCCC"},
                  {30, "         <-- Kompartiment No.: (1 - 16)    <-- max. tolerierter Umgebungsdruck!",
                   "         EEE EEEEEEEEEEEE EEEE EE E EEE    CCC CCCC CCCCCCCCCCC CCCCCCCCCCCCCCC"},
              });
  EXPECT_TRUE(p->run.output.empty()) << "the plot wrote to the text dialogue: " << p->run.output;
}

// Axes, scale, the inspired-pressure lines N 1.92471, H 2.36921 and S 4.31723
// bar with their legend strokes, and the legend frame, in drawing order.
TEST(CompartmentPlot, LinesOfATrimixDive) {
  auto p = plot_trimix_dive();
  std::vector<GfxCall> lines = p->canvas.calls("line");
  ASSERT_EQ(lines.size(), 31u + 16u * 6u);
  std::vector<Stroke> fixed = {{14, {14, 451}, {604, 451}}, {14, {14, 451}, {14, 99}}};
  for (int row : {451, 394, 338, 282, 225, 169, 113}) fixed.push_back({14, {14, row}, {9, row}});
  for (int row : {423, 394, 366, 338, 310, 282, 254, 225, 197, 169, 141, 113})
    fixed.push_back({14, {14, row}, {10, row}});
  fixed.insert(fixed.end(), {
                                {10, {14, 342}, {604, 342}},
                                {10, {613, 183}, {630, 183}},
                                {9, {14, 317}, {604, 317}},
                                {9, {613, 200}, {630, 200}},
                                {15, {14, 208}, {604, 208}},
                                {15, {613, 169}, {630, 169}},
                                {3, {292, 152}, {637, 152}},
                                {3, {637, 152}, {637, 214}},
                                {3, {637, 214}, {292, 214}},
                                {3, {292, 214}, {292, 152}},
                            });
  expect_strokes(lines, 0, fixed, "fixed lines");

  // The thick red mark: six lines at PAMBTOL + 0, 0.01, 0.0125, 0.015, 0.02, 0.03.
  struct Mark {
    int i, left, right;
    std::vector<int> rows;
  };
  for (const Mark& m : std::vector<Mark>{{1, 43, 63, {254, 253, 253, 253, 252, 252}},
                                         {9, 321, 340, {378, 377, 377, 377, 376, 376}},
                                         {10, 356, 375, {388, 387, 387, 387, 387, 386}},
                                         {16, 564, 583, {426, 425, 425, 425, 425, 424}}}) {
    std::vector<Stroke> e;
    for (int row : m.rows) e.push_back({12, {m.left, row}, {m.right, row}});
    expect_strokes(lines, 31 + 6 * (m.i - 1), e, ("mark of compartment " + std::to_string(m.i)).c_str());
  }
}

// The two legend swatches, then per compartment the nitrogen (yellow), helium
// (blue) and sum (white) bars from their tension down to 0 bar (row 451).
TEST(CompartmentPlot, BarsOfATrimixDive) {
  auto p = plot_trimix_dive();
  std::vector<GfxCall> fills = p->canvas.calls("fill");
  ASSERT_EQ(fills.size(), 2u + 16u * 3u);
  expect_strokes(fills, 0, {{14, {31, 465}, {66, 479}}, {12, {318, 468}, {335, 473}}}, "swatches");
  struct Bars {
    int i;
    std::vector<Stroke> bars;
  };
  for (const Bars& b : std::vector<Bars>{
           {1, {{14, {40, 230}, {49, 451}}, {9, {51, 303}, {63, 451}}, {15, {50, 83}, {56, 451}}}},
           {9, {{14, {318, 338}, {327, 451}}, {9, {329, 422}, {340, 451}}, {15, {328, 309}, {333, 451}}}},
           {10, {{14, {352, 347}, {362, 451}}, {9, {364, 431}, {375, 451}}, {15, {363, 326}, {368, 451}}}},
           {16, {{14, {561, 393}, {570, 451}}, {9, {572, 450}, {583, 451}}, {15, {571, 392}, {576, 451}}}},
       })
    expect_strokes(fills, 2 + 3 * (b.i - 1), b.bars, ("bars of compartment " + std::to_string(b.i)).c_str());
}

// The scale digits 0 to 6 at (-0.4, v + 0.15), the compartment numbers at
// (i, 0); from 10 on "1" at i - 0.2 and the last digit one character width on.
TEST(CompartmentPlot, DrawnNumbers) {
  auto p = plot_trimix_dive();
  std::vector<GfxCall> texts = p->canvas.calls("text");
  struct Text {
    std::string text;
    Pixel at;
  };
  std::vector<Text> expected = {{"0", {0, 442}}, {"1", {0, 386}}, {"2", {0, 330}}, {"3", {0, 273}},
                                {"4", {0, 217}}, {"5", {0, 161}}, {"6", {0, 104}}};
  std::vector<int> columns = {49, 83, 118, 153, 188, 222, 257, 292, 326};
  for (int i = 1; i <= 9; ++i) expected.push_back({std::to_string(i), {columns[i - 1], 451}});
  std::vector<int> tens = {354, 389, 424, 458, 493, 528, 563};
  for (int i = 10; i <= 16; ++i) {
    expected.push_back({"1", {tens[i - 10], 451}});
    expected.push_back({std::to_string(i - 10), {tens[i - 10] + RecordingCanvas::DRAWN_CHAR_WIDTH, 451}});
  }
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(texts[k].text, expected[k].text) << "#" << k;
    EXPECT_EQ(texts[k].a, expected[k].at) << "#" << k << " \"" << texts[k].text << "\"";
    EXPECT_EQ(texts[k].colour, 14) << "#" << k;
  }
}

// Right after program start at the surface: Pamb 1.013, the nitrogen line at
// 0.75069 bar, the helium line at 0.000005065, the sum at 0.800477665; every
// compartment 0.8004726 bar of nitrogen and the red marks at 0.58 bar.
TEST(CompartmentPlot, AtTheSurfaceAfterStart) {
  TempHome home(false);
  RecordingCanvas canvas;
  SessionResult r = run_session("P\n\nQ\n", home.path(), &canvas);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.unread, 0u);
  EXPECT_EQ(right_trimmed(canvas.row_text(3)),
            "Sauerstoffpartialdruck:    0.212  MIX (in %) O2:  20.95   He:  0.00   N2: 79.02");
  EXPECT_EQ(right_trimmed(canvas.row_text(4)).substr(34), "EAD (in m):  0.0    %CNS =    0.  OTU =    0.");
  EXPECT_EQ(right_trimmed(canvas.row_text(7)).substr(50), "MOD @ 1,6 atm pO2:  66.");
  EXPECT_EQ(right_trimmed(canvas.row_colours(3)),
            "FFFFFFFFFFFFFFFFFFFFFFF    FFFFF  FFF FFF FF FFF  FFFFF   FFF  FFFF   FFF FFFFF");

  std::vector<GfxCall> lines = canvas.calls("line");
  ASSERT_EQ(lines.size(), 31u + 16u * 6u);
  EXPECT_EQ(lines[21].a, (Pixel{14, 409})) << "nitrogen line";
  EXPECT_EQ(lines[23].a, (Pixel{14, 451})) << "helium line";
  EXPECT_EQ(lines[25].a, (Pixel{14, 406})) << "sum line";
  std::vector<GfxCall> fills = canvas.calls("fill");
  for (int i = 1; i <= 16; ++i) {
    EXPECT_EQ(fills[2 + 3 * (i - 1)].a.y, 406) << "nitrogen bar " << i;
    EXPECT_EQ(fills[3 + 3 * (i - 1)].a.y, 451) << "helium bar " << i;
    EXPECT_EQ(fills[4 + 3 * (i - 1)].a.y, 406) << "sum bar " << i;
    EXPECT_EQ(lines[31 + 6 * (i - 1)].a.y, 418) << "mark " << i;
    EXPECT_EQ(lines[36 + 6 * (i - 1)].a.y, 416) << "top of mark " << i;
  }
}

// The warning colours: pO2 >= 1.6 (binary128) turns the oxygen, gas and EAD
// values red; CNS >= 100 everything from "%CNS =" on; PrT >= 25 the ESOT and
// PrT lines, whatever ESOT is.
TEST(CompartmentPlot, WarningColours) {
  struct Case {
    const char* what;
    double PAIR, CNS, PRT, ESOT;
    int oxygen, cns, esot;  // colours at (3,1), (4,55)/(9,35), (17,57)/(18,64)
  };
  const Case cases[] = {
      // FO2 1.0 at the surface: pO2 is PAIR itself.
      {"pO2 exactly 1.6", 1.6, 0, 0, 0, 12, 15, 15},
      {"pO2 one step below 1.6", 1.5999999999999999, 0, 0, 0, 15, 15, 15},
      {"CNS exactly 100", 1.013, 100.0, 0, 0, 15, 12, 15},
      {"CNS just below 100", 1.013, 99.99999999999999, 0, 0, 15, 15, 15},
      {"PrT exactly 25 with no ESOT", 1.013, 0, 25.0, 0, 15, 15, 12},
      {"PrT below 25 with a large ESOT", 1.013, 0, 24.9, 500.0, 15, 15, 15},
  };
  for (const Case& c : cases) {
    DiveState st = trimix_dive_state();
    st.DEPTH = 0;
    st.FO2 = 1.0;
    st.FHE = 0;
    st.FN2 = 0;
    st.PAIR = c.PAIR;
    st.CNS = c.CNS;
    st.PRT = c.PRT;
    st.ESOT = c.ESOT;
    RecordingCanvas canvas;
    run_plot(compartment_pressure_plot, st, canvas);
    EXPECT_EQ(canvas.cell(3, 1).colour, c.oxygen) << c.what << ": oxygen label";
    EXPECT_EQ(canvas.cell(3, 28).colour, c.oxygen) << c.what << ": oxygen value";
    EXPECT_EQ(canvas.cell(3, 35).colour, c.oxygen) << c.what << ": gas line";
    EXPECT_EQ(canvas.cell(4, 35).colour, c.oxygen) << c.what << ": EAD line";
    EXPECT_EQ(canvas.cell(4, 55).colour, c.cns) << c.what << ": CNS label";
    EXPECT_EQ(canvas.cell(9, 35).colour, c.cns) << c.what << ": last header value";
    EXPECT_EQ(canvas.cell(17, 57).colour, c.esot) << c.what << ": ESOT line";
    EXPECT_EQ(canvas.cell(18, 64).colour, c.esot) << c.what << ": PrT value";
    EXPECT_EQ(canvas.cell(2, 2).colour, 15) << c.what << ": first header line";
  }
}
