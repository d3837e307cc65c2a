// The graphics sequence the three plots share: set-up, red header line, the
// pause at the end with the picture kept, and the way back to the text window.
#include "plots/graphics_sequence.hpp"

#include <gtest/gtest.h>

#include "platform/recording_canvas.hpp"
#include "plots/compartment_plot.hpp"
#include "plots/grid_expect.hpp"
#include "plots/percent_plots.hpp"
#include "support/plot_run.hpp"

using namespace orva;
using namespace orva::testing;

namespace {

struct Plot {
  const char* name;
  PlotHandler handler;
  int header_column;
};
const Plot PLOTS[] = {
    {"P", compartment_pressure_plot, 1},
    {"PCT", percent_saturation_plot, 2},
    {"HM", trimix_heat_map, 2},
};

std::vector<std::string> ops(const RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const GfxCall& call : c.calls())
    if (call.op != "line" && call.op != "fill" && call.op != "text") out.push_back(call.op);
  return out;
}

}  // namespace

// Drawing mode 18 (which clears), the clear, the font path of 21 characters
// and the option string of 20; at the end the picture, mode -1 and the font
// released; one typed line, whatever it says, ends the plot.
TEST(GraphicsSequence, SetUpAndEnd) {
  for (const Plot& plot : PLOTS) {
    SCOPED_TRACE(plot.name);
    DiveState st = trimix_dive_state();
    RecordingCanvas canvas;
    PlotRun r = run_plot(plot.handler, st, canvas, {"weiter", "P"});
    EXPECT_EQ(r.unread, 1u) << "the pause reads exactly one line";
    EXPECT_EQ(ops(canvas), (std::vector<std::string>{"mode", "clear", "clear", "load_fonts", "select_font", "save",
                                                      "mode", "release_font"}));
    std::vector<GfxCall> modes = canvas.calls("mode");
    EXPECT_EQ(modes.front().mode, 18);
    EXPECT_EQ(modes.back().mode, -1);
    EXPECT_EQ(canvas.calls("load_fonts")[0].text, "C:\\ORVA\\LIB\\TMSRB.FON");
    EXPECT_EQ(canvas.calls("select_font")[0].text, "t'tms rmn'h13w7'e   ");
    EXPECT_EQ(canvas.calls("save")[0].text, plot.name);

    // " ORVA V 3_10" and 66 blanks, red, from the plot's header column.
    int first = plot.header_column, last = plot.header_column + 77;
    for (int col = 1; col <= 80; ++col) {
      bool inside = col >= first && col <= last;
      EXPECT_EQ(canvas.cell(1, col).colour, inside ? 12 : -1) << "column " << col;
    }
    EXPECT_EQ(canvas.row_text(1).substr(first - 1, 12), " ORVA V 3_10");
    EXPECT_TRUE(r.output.empty()) << r.output;
  }
}

// End of input at the pause: the picture is kept first, the window goes back
// to text, and the end of input reaches the shell.
TEST(GraphicsSequence, EndOfInputAtThePause) {
  for (const Plot& plot : PLOTS) {
    SCOPED_TRACE(plot.name);
    DiveState st = trimix_dive_state();
    RecordingCanvas canvas;
    PlotRun r = run_plot(plot.handler, st, canvas, {});
    EXPECT_TRUE(r.ended_input);
    EXPECT_EQ(canvas.calls("save").size(), 1u);
    EXPECT_EQ(canvas.mode(), -1);
    EXPECT_EQ(ops(canvas).back(), "release_font");
  }
}

// A value record that ends its line moves the cursor to the next row; one
// that ends with a dollar sign leaves it behind the text; a slash breaks it.
TEST(GraphicsSequence, ValuesAtTextPositions) {
  RecordingCanvas canvas;
  canvas.gfx_set_mode(18);
  canvas.gfx_set_text_colour(11);
  plot_value(canvas, 4, 60, R"(" ", "Tiefe: ", F5.1, " m ")", {42.25});
  canvas.gfx_write_text("next");
  plot_value(canvas, 10, 3, R"(F4.1, $)", {1.25});
  canvas.gfx_write_text("|");
  plot_value(canvas, 12, 3, R"("a", /, "b", $)", {});
  canvas.gfx_write_text("c");
  expect_grid(canvas, {
                          {4, std::string(59, ' ') + " Tiefe:  42.2 m", std::string(59, ' ') + " BBBBBB  BBBB B"},
                          {5, "next", "BBBB"},
                          {10, "   1.2|", "   BBBB"},
                          {12, "  a", "  B"},
                          {13, "bc", "BB"},
                      });
}
