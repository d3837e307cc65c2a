// The graphics sequence the three plots share: set-up, red header line, the
// pause at the end with the picture kept, and the way back to the text window.
#include "plots/graphics_sequence.hpp"

#include <gtest/gtest.h>

#include <algorithm>

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
    if (call.op != "write" && call.op != "line" && call.op != "fill" && call.op != "text") out.push_back(call.op);
  return out;
}

// Every painting call in order, by a short name: "write ROW,COLUMN" for text on
// the grid, "line COLOUR", "fill COLOUR", "text TEXT" for drawn text.
std::vector<std::string> painted(const RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const GfxCall& call : c.calls()) {
    if (call.op == "write") out.push_back("write " + std::to_string(call.row) + "," + std::to_string(call.column));
    if (call.op == "line" || call.op == "fill") out.push_back(call.op + " " + std::to_string(call.colour));
    if (call.op == "text") out.push_back("text " + call.text);
  }
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

// What a plot shows depends on the order it paints in, each item over the
// ones before: the red header line first and the header values before the
// chart; in P each inspired-pressure line just before its label and the bars
// after all text; in %P and HM the depth and dive time after the bars and the
// gradient-factor lines last.
TEST(GraphicsSequence, PaintsInTheOrderOfTheSequence) {
  struct Case {
    PlotHandler handler;
    std::vector<std::string> in_order;  // the first is painted first, the last last
    std::string last_write;
  };
  const Case cases[] = {
      {compartment_pressure_plot,
       {"write 1,1", "write 2,1", "write 9,35", "line 14", "write 4,5", "line 10", "write 12,39", "line 9",
        "write 13,39", "line 15", "write 11,39", "write 18,64", "fill 15", "text 6"},
       "write 18,64"},
      {percent_saturation_plot,
       {"write 1,2", "write 3,2", "write 8,72", "line 14", "write 28,10", "fill 10", "write 4,60", "write 5,60",
        "line 14", "text  GF Hi", "line 14", "text  GF Lo"},
       "write 5,60"},
      {trimix_heat_map,
       {"write 1,2", "write 2,15", "write 9,72", "write 5,15", "line 14", "write 28,10", "fill 14", "write 4,60",
        "write 5,60", "line 14", "text  GF Hi", "line 14", "text  GF Lo"},
       "write 5,60"},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    const Case& c = cases[k];
    SCOPED_TRACE(PLOTS[k].name);
    DiveState st = trimix_dive_state();
    RecordingCanvas canvas;
    run_plot(c.handler, st, canvas);
    std::vector<std::string> names = painted(canvas);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), c.in_order.front());
    EXPECT_EQ(names.back(), c.in_order.back());
    auto from = names.begin();
    for (const std::string& name : c.in_order) {
      auto found = std::find(from, names.end(), name);
      EXPECT_TRUE(found != names.end()) << name << " is not painted after the calls listed before it";
      if (found != names.end()) from = found + 1;
    }
    auto last_write =
        std::find_if(names.rbegin(), names.rend(), [](const std::string& n) { return n.starts_with("write"); });
    ASSERT_TRUE(last_write != names.rend());
    EXPECT_EQ(*last_write, c.last_write);
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
