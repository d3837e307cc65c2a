// The text grid and the world-window mapping every drawing surface shares,
// seen through the recording canvas.
#include "platform/grid_canvas.hpp"

#include <gtest/gtest.h>

#include "platform/recording_canvas.hpp"
#include "plots/grid_expect.hpp"

using namespace orva;
using namespace orva::testing;

// Column (x - xmin) x 639 / (xmax - xmin), row 479 - (y - ymin) x 479 /
// (ymax - ymin), halves rounded away from zero.
TEST(GridCanvas, WorldPointsOnThePixelGrid) {
  struct Case {
    double x1, y1, x2, y2;  // the window as a plot hands it over
    double x, y;
    Pixel expected;
  };
  const Case cases[] = {
      {0, 0, 639, 479, 2.5, 0.5, {3, 479}},     // 478.5 rounds away from zero
      {0, 0, 639, 479, -2.5, 479.5, {-3, -1}},  // outside the area: still mapped
      {0, 479, 639, 0, 2.4, 1.6, {2, 477}},     // corners in any order
      {-0.4, 8.0, 18.0, -0.5, -0.4, 8.0, {0, 0}},
      {-0.4, 8.0, 18.0, -0.5, 18.0, -0.5, {639, 479}},
      {-2.0, 130.0, 20.0, -20.0, 0, 0, {58, 415}},  // 58.09, 415.13
      {-2.0, 130.0, 20.0, -20.0, 9.0, 50.0, {320, 255}},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    canvas.gfx_set_window(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(canvas.to_pixel(c.x, c.y), c.expected) << "(" << c.x << ", " << c.y << ")";
  }
}

// Lines start at the graphics position and leave it at their end; a drawn
// text advances it by its width.
TEST(GridCanvas, GraphicsPosition) {
  RecordingCanvas canvas;
  canvas.gfx_set_mode(18);
  canvas.gfx_set_window(0, 0, 639, 479);
  canvas.gfx_set_colour(9);
  canvas.gfx_move_to(10, 470);
  canvas.gfx_line_to(20, 470);
  canvas.gfx_line_to(20, 460);
  canvas.gfx_draw_text("1");
  canvas.gfx_draw_text("6");
  std::vector<GfxCall> lines = canvas.calls("line"), texts = canvas.calls("text");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].a, (Pixel{10, 9}));
  EXPECT_EQ(lines[0].b, (Pixel{20, 9}));
  EXPECT_EQ(lines[1].a, (Pixel{20, 9}));
  EXPECT_EQ(lines[1].b, (Pixel{20, 19}));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].a, (Pixel{20, 19}));
  EXPECT_EQ(texts[1].a, (Pixel{27, 19}));
  EXPECT_EQ(texts[1].colour, 9);
}

// Positions are clamped to the grid, text past column 80 is clipped (not
// wrapped), a line end moves to column 1 of the next row and stays on row 30
// at the bottom; each character keeps the colour it was written in.
TEST(GridCanvas, TextGrid) {
  RecordingCanvas canvas;
  canvas.gfx_set_mode(18);
  canvas.gfx_set_text_colour(12);
  canvas.gfx_set_text_position(2, 75);
  canvas.gfx_write_text("abcdefghij");
  canvas.gfx_write_text("more");  // the cursor is past the edge: nothing lands
  canvas.gfx_set_text_position(37, 0);
  canvas.gfx_set_text_colour(9);
  canvas.gfx_write_text("row 30");
  canvas.gfx_new_line();
  canvas.gfx_write_text("X");
  canvas.gfx_set_text_position(3, 99);
  canvas.gfx_write_text("Z");
  canvas.gfx_set_text_position(4, 5);
  canvas.gfx_set_text_colour(15);
  canvas.gfx_write_text("ab");
  canvas.gfx_new_line();
  canvas.gfx_set_text_colour(10);
  canvas.gfx_write_text("c d");
  canvas.gfx_set_text_position(4, 6);
  canvas.gfx_set_text_colour(14);
  canvas.gfx_write_text("B");
  expect_grid(canvas, {
                          {2, std::string(74, ' ') + "abcdef", std::string(74, ' ') + "CCCCCC"},
                          {3, std::string(79, ' ') + "Z", std::string(79, ' ') + "9"},
                          {4, "    aB", "    FE"},
                          {5, "c d", "A A"},
                          {30, "Xow 30", "999 99"},
                      });
  EXPECT_EQ(canvas.cell(5, 2).colour, 10) << "a written blank keeps its colour";
  EXPECT_EQ(canvas.cell(5, 4).colour, -1) << "an unwritten cell";

  canvas.gfx_clear_screen();
  expect_grid(canvas, {});
  canvas.gfx_write_text("home");
  EXPECT_EQ(right_trimmed(canvas.row_text(1)), "home");
}

// Text goes to the surface the moment it is written, between the drawing
// calls around it, in its colour from its first cell; only what lands on the
// grid is handed over, so text past column 80 is cut off there.
TEST(GridCanvas, WrittenTextIsPaintedInItsTurn) {
  RecordingCanvas canvas;
  canvas.gfx_set_mode(18);
  canvas.gfx_move_to(0, 0);
  canvas.gfx_line_to(639, 0);
  canvas.gfx_set_text_colour(12);
  canvas.gfx_set_text_position(2, 75);
  canvas.gfx_write_text("abcdefghij");
  canvas.gfx_write_text("more");  // behind the edge: nothing to paint
  canvas.gfx_fill_rectangle(0, 0, 10, 10);
  canvas.gfx_set_text_position(37, 3);
  canvas.gfx_set_text_colour(9);
  canvas.gfx_write_text(" row 30 ");

  std::vector<std::string> ops;
  for (const GfxCall& c : canvas.calls()) ops.push_back(c.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"mode", "clear", "line", "write", "fill", "write"}));
  struct Write {
    int row, column, colour;
    std::string text;
  };
  const Write expected[] = {{2, 75, 12, "abcdef"}, {30, 3, 9, " row 30 "}};
  std::vector<GfxCall> writes = canvas.calls("write");
  ASSERT_EQ(writes.size(), 2u);
  for (size_t k = 0; k < writes.size(); ++k) {
    EXPECT_EQ(writes[k].row, expected[k].row) << "#" << k;
    EXPECT_EQ(writes[k].column, expected[k].column) << "#" << k;
    EXPECT_EQ(writes[k].colour, expected[k].colour) << "#" << k;
    EXPECT_EQ(writes[k].text, expected[k].text) << "#" << k;
  }
}
