// The percent saturation plot %P and the trimix heat map HM on the recording
// canvas. World window x -2 .. 20, y -20 .. 130 %: y = 0 is pixel row 415,
// y = 100 row 96, x = 0 pixel column 58.
#include "plots/percent_plots.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/recording_canvas.hpp"
#include "plots/grid_expect.hpp"
#include "support/plot_run.hpp"
#include "support/session.hpp"

using namespace orva;
using namespace orva::testing;

namespace {

struct Bar {
  int i, colour;
  Pixel top_left, bottom_right;
};

void expect_bars(const RecordingCanvas& canvas, const std::vector<Bar>& bars, const std::string& what) {
  std::vector<GfxCall> fills = canvas.calls("fill");
  ASSERT_EQ(fills.size(), 16u) << what;
  for (const Bar& b : bars) {
    const GfxCall& f = fills[b.i - 1];
    EXPECT_EQ(f.colour, b.colour) << what << " compartment " << b.i;
    EXPECT_EQ(f.a, b.top_left) << what << " compartment " << b.i << " top (" << f.a.x << ", " << f.a.y << ")";
    EXPECT_EQ(f.b, b.bottom_right) << what << " compartment " << b.i;
  }
}

// The bars' left and right pixel columns, x = i - 0.25 and i + 0.01.
constexpr int LEFT[17] = {0, 80, 109, 138, 167, 196, 225, 254, 283, 312, 341, 370, 399, 428, 457, 487, 516};
constexpr int RIGHT[17] = {0, 87, 116, 146, 175, 204, 233, 262, 291, 320, 349, 378, 407, 436, 465, 494, 523};

}  // namespace

TEST(PercentPlots, TextGridOfATrimixDive) {
  struct Case {
    const char* what;
    PlotHandler plot;
    std::vector<GridRow> rows;
  };
  const std::vector<GridRow> common_bottom = {
      {28, "             schnelle           mittlere       langsame Kompartimente",
       "             FFFFFFFF           FFFFFFFF       FFFFFFFF FFFFFFFFFFFFF"},
      {29, "                      <-- Kompartiment No.: (1 - 16) -->",
       "                      FFF FFFFFFFFFFFF FFFF FF F FFF FFF"},
  };
  std::vector<Case> cases = {
      {"%P",
       percent_saturation_plot,
       {
           {1, "  ORVA V 3_10", "  CCCC C CCCC"},
           {3, "  prozentuale Saettigung von P, tissue, tolerated",
            "  FFFFFFFFFFF FFFFFFFFFF FFF FF FFFFFFF FFFFFFFFF"},
           {4, "  relativ zu aktuellem P ambient                            Tiefe:  42.3 m",
            "  FFFFFFF FF FFFFFFFFF F FFFFFFF                            FFFFFF  FFFF F"},
           // "Zeit:" shows the whole dive time (31.5), not the last segment (25.0).
           {5, "  (fuer Luft/EAN/Nitrox)                                    Zeit:     31.5 min",
            "  FFFFF FFFFFFFFFFFFFFFF                                    FFFFF     FFFF FFF"},
           {8, "                                                            N2 Matrix: ZH-L 16B",
            "                                                            AA AAAAAAA AAAA AAA"},
       }},
      {"HM",
       trimix_heat_map,
       {
           {1, "  ORVA V 3_10", "  CCCC C CCCC"},
           {2, "              HEAT MAP fuer TMX / Trimix", "              EEEE EEE EEEE EEE E EEEEEE"},
           {3, "  prozentuale Saettigung von P, tissue, tolerated",
            "  FFFFFFFFFFF FFFFFFFFFF FFF FF FFFFFFF FFFFFFFFF"},
           {4, "  relativ zu aktuellem P ambient                            Tiefe:  42.3 m",
            "  FFFFFFF FF FFFFFFFFF F FFFFFFF                            FFFFFF  FFFF F"},
           {5, "  TMX:        (in %) O2: 18.00   He: 45.00   N2: 37.00      Zeit:     31.5 min",
            "  FFFF        EEE EE EEE EEEEE   EEE EEEEE   EEE EEEEE      FFFFF     FFFF FFF"},
           {8, "                                                            N2 Matrix: ZH-L 16B",
            "                                                            AA AAAAAAA AAAA AAA"},
           {9, "                                                            HE Matrix: ZH-L 16C",
            "                                                            AA AAAAAAA AAAA AAA"},
       }},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.rows.insert(c.rows.end(), common_bottom.begin(), common_bottom.end());
    DiveState st = trimix_dive_state();
    RecordingCanvas canvas;
    PlotRun r = run_plot(c.plot, st, canvas);
    expect_grid(canvas, c.rows);
    EXPECT_TRUE(r.output.empty()) << r.output;
  }
}

// %P takes the nitrogen tension against the nitrogen M-value at 42.3 m
// (33.5 % falling to 17.9 %); HM the summed tension against the mixed
// coefficients (51.8 % to 18.3 %, the fast ones yellow).
TEST(PercentPlots, BarsOfATrimixDive) {
  DiveState st = trimix_dive_state();
  RecordingCanvas nitrogen, trimix;
  run_plot(percent_saturation_plot, st, nitrogen);
  run_plot(trimix_heat_map, st, trimix);
  const int n2_tops[17] = {0, 308, 287, 282, 282, 286, 290, 297, 304, 312, 318, 324, 332, 339, 345, 352, 358};
  const int mix_tops[17] = {0, 250, 214, 210, 213, 223, 238, 254, 271, 287, 300, 312, 323, 333, 342, 350, 357};
  std::vector<Bar> n2, mix;
  for (int i = 1; i <= 16; ++i) {
    n2.push_back({i, 10, {LEFT[i], n2_tops[i]}, {RIGHT[i], 415}});
    mix.push_back({i, i <= 7 ? 14 : 10, {LEFT[i], mix_tops[i]}, {RIGHT[i], 415}});
  }
  expect_bars(nitrogen, n2, "%P");
  expect_bars(trimix, mix, "HM");
}

// Right after program start on air at the surface: %P shows compartments 1
// to 7 green (24.5 % to 49.8 %), 8 to 16 yellow (52.1 % to 62.4 %); HM finds
// AMIX and BMIX still 0, so every M-value is infinite and every bar is flat
// and green. The high gradient-factor line lies at 100 %, no low line.
TEST(PercentPlots, AtTheSurfaceAfterStart) {
  TempHome home(false);
  RecordingCanvas nitrogen, trimix;
  SessionResult a = run_session("%P\n\nQ\n", home.path(), &nitrogen);
  SessionResult b = run_session("hm\n\nQ\n", home.path(), &trimix);
  EXPECT_EQ(a.unread + b.unread, 0u);
  const int tops[17] = {0, 337, 315, 302, 290, 278, 265, 256, 249, 243, 239, 235, 230, 226, 222, 219, 216};
  std::vector<Bar> n2, flat;
  for (int i = 1; i <= 16; ++i) {
    n2.push_back({i, i <= 7 ? 10 : 14, {LEFT[i], tops[i]}, {RIGHT[i], 415}});
    flat.push_back({i, 10, {LEFT[i], 415}, {RIGHT[i], 415}});
  }
  expect_bars(nitrogen, n2, "%P");
  expect_bars(trimix, flat, "HM");
  for (const RecordingCanvas* c : {&nitrogen, &trimix}) {
    std::vector<GfxCall> lines = c->calls("line");
    ASSERT_EQ(lines.size(), 2u + 11u + 21u + 1u);
    EXPECT_EQ(lines.back().a, (Pixel{58, 96}));
    EXPECT_EQ(lines.back().b, (Pixel{537, 96}));
    EXPECT_EQ(lines.back().colour, 14);
    EXPECT_EQ(c->calls("text").back().text, " GF Hi");
  }
}

// Axes, the percentage scale with its labels 0 to 100 at (-1, y + 2), the
// minor ticks every 5 %, and the compartment numbers at (i - 0.25, -0.75),
// from 10 on "1" at i - 0.4 and the last digit after it.
TEST(PercentPlots, ScaleAndNumbers) {
  DiveState st = trimix_dive_state();
  RecordingCanvas canvas;
  run_plot(percent_saturation_plot, st, canvas);
  std::vector<GfxCall> lines = canvas.calls("line");
  ASSERT_GE(lines.size(), 34u);
  EXPECT_EQ(lines[0].a, (Pixel{58, 415}));
  EXPECT_EQ(lines[0].b, (Pixel{552, 415}));
  EXPECT_EQ(lines[1].b, (Pixel{58, 96}));
  const int major[11] = {415, 383, 351, 319, 287, 255, 224, 192, 160, 128, 96};
  for (int n = 0; n <= 10; ++n) {
    EXPECT_EQ(lines[2 + n].a, (Pixel{58, major[n]})) << "major tick " << n;
    EXPECT_EQ(lines[2 + n].b, (Pixel{52, major[n]})) << "major tick " << n;
  }
  const int minor[21] = {415, 399, 383, 367, 351, 335, 319, 303, 287, 271, 255,
                         240, 224, 208, 192, 176, 160, 144, 128, 112, 96};
  for (int k = 0; k <= 20; ++k) {
    EXPECT_EQ(lines[13 + k].a, (Pixel{58, minor[k]})) << "minor tick " << 5 * k;
    EXPECT_EQ(lines[13 + k].b, (Pixel{54, minor[k]})) << "minor tick " << 5 * k;
  }

  std::vector<GfxCall> texts = canvas.calls("text");
  const char* labels[11] = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
  const int label_rows[11] = {409, 377, 345, 313, 281, 249, 217, 185, 153, 121, 89};
  ASSERT_EQ(texts.size(), 11u + 9u + 14u + 2u);
  for (int n = 0; n <= 10; ++n) {
    EXPECT_EQ(texts[n].text, labels[n]);
    EXPECT_EQ(texts[n].a, (Pixel{29, label_rows[n]})) << labels[n];
  }
  for (int i = 1; i <= 9; ++i) {
    EXPECT_EQ(texts[10 + i].text, std::to_string(i));
    EXPECT_EQ(texts[10 + i].a, (Pixel{LEFT[i], 418}));
  }
  const int tens[7] = {337, 366, 395, 424, 453, 482, 511};
  for (int i = 10; i <= 16; ++i) {
    const GfxCall& one = texts[20 + 2 * (i - 10)];
    const GfxCall& digit = texts[21 + 2 * (i - 10)];
    EXPECT_EQ(one.text, "1");
    EXPECT_EQ(one.a, (Pixel{tens[i - 10], 418})) << i;
    EXPECT_EQ(digit.text, std::to_string(i - 10));
    EXPECT_EQ(digit.a, (Pixel{tens[i - 10] + RecordingCanvas::DRAWN_CHAR_WIDTH, 418})) << i;
  }
  for (const GfxCall& t : texts) EXPECT_EQ(t.colour, 14) << t.text;
}

// The high line is always drawn; the low one only when GFLO differs from
// GFHI (not-a-number counts as different) and GFLO < 1.
TEST(PercentPlots, GradientFactorLines) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double GFHI, GFLO;
    std::vector<int> rows;  // pixel rows of the lines, high first
  };
  const Case cases[] = {
      {0.85, 0.3, {144, 319}},  // 85 % and 30 %
      {0.85, 0.85, {144}},
      {1.0, 1.0, {96}},
      {0.9, 1.0, {128}},        // a low factor of 1 draws no line
      {0.85, nan, {144}},       // different, but not below 1
      {1.0, 0.5, {96, 255}},
  };
  for (PlotHandler plot : {percent_saturation_plot, trimix_heat_map}) {
    for (const Case& c : cases) {
      DiveState st = trimix_dive_state();
      st.GFHI = c.GFHI;
      st.GFLO = c.GFLO;
      RecordingCanvas canvas;
      run_plot(plot, st, canvas);
      std::vector<GfxCall> lines = canvas.calls("line"), texts = canvas.calls("text");
      std::string what = "GFHI " + std::to_string(c.GFHI) + " GFLO " + std::to_string(c.GFLO);
      ASSERT_EQ(lines.size(), 34u + c.rows.size()) << what;
      for (size_t k = 0; k < c.rows.size(); ++k) {
        const GfxCall& l = lines[34 + k];
        EXPECT_EQ(l.a, (Pixel{58, c.rows[k]})) << what;
        EXPECT_EQ(l.b, (Pixel{537, c.rows[k]})) << what;
        EXPECT_EQ(l.colour, 14) << what;
        const GfxCall& t = texts[34 + k];
        EXPECT_EQ(t.text, k == 0 ? " GF Hi" : " GF Lo") << what;
        EXPECT_EQ(t.a, (Pixel{537, c.rows[k]})) << what;
      }
    }
  }
}

// The traffic light: green below 50 %, yellow from 50 %, dark red from 70 %.
// At the surface with PAIR 1 and a = 0, b = 0.5 the M-value is exactly 2 bar.
TEST(PercentPlots, TrafficLightThresholds) {
  struct Case {
    double PN2;
    int colour;
  };
  const Case cases[] = {
      {0.9998, 10},  // 49.99 %
      {1.0, 14},     // 50 %
      {1.3999, 14},  // 69.995 %
      {1.4, 4},      // exactly 70 %
      {2.2, 4},      // 110 %
  };
  DiveState st = trimix_dive_state();
  st.DEPTH = 0;
  st.PAIR = 1.0;
  for (int i = 1; i <= 16; ++i) {
    st.AN2[i] = 0.0;
    st.BN2[i] = 0.5;
    st.PN2[i] = 0.0;
  }
  int i = 1;
  for (const Case& c : cases) st.PN2[i++] = c.PN2;
  RecordingCanvas canvas;
  run_plot(percent_saturation_plot, st, canvas);
  std::vector<GfxCall> fills = canvas.calls("fill");
  ASSERT_EQ(fills.size(), 16u);
  i = 1;
  for (const Case& c : cases) {
    EXPECT_EQ(fills[i - 1].colour, c.colour) << "PN2 " << c.PN2;
    ++i;
  }
}
