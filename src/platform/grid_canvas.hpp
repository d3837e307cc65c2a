// What every drawing surface of the plots has in common: the 80 x 30 text
// grid with the colour of every character, the text cursor, the colours, the
// world window with its mapping to pixels and the graphics position. A
// surface built on it only paints the texts written on the grid, the lines,
// rectangles and drawn texts, each the moment it comes, over what came before.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/gfx.hpp"

namespace orva {

struct Pixel {
  int x = 0, y = 0;
  bool operator==(const Pixel&) const = default;
};

class GridCanvas : public Graphics {
 public:
  struct Cell {
    char ch = ' ';
    int colour = -1;  // -1: nothing written in this cell
  };

  void gfx_set_mode(int mode) override;
  void gfx_clear_screen() override;
  void gfx_set_text_colour(int colour) override { text_colour_ = colour; }
  void gfx_set_text_position(int row, int column) override;
  void gfx_write_text(std::string_view text) override;
  void gfx_new_line() override;
  void gfx_load_fonts(std::string_view) override {}
  void gfx_select_font(std::string_view) override {}
  void gfx_release_font() override {}
  void gfx_draw_text(std::string_view text) override;
  void gfx_set_window(double x1, double y1, double x2, double y2) override;
  void gfx_set_colour(int colour) override { colour_ = colour; }
  void gfx_move_to(double x, double y) override { position_ = to_pixel(x, y); }
  void gfx_line_to(double x, double y) override;
  void gfx_fill_rectangle(double x1, double y1, double x2, double y2) override;

  int mode() const { return mode_; }
  // Row 1..30, column 1..80.
  const Cell& cell(int row, int column) const { return grid_[row - 1][column - 1]; }
  // The 80 characters of a row, blank where nothing was written.
  std::string row_text(int row) const;
  // One character per column: the colour of a written non-blank character as
  // a hexadecimal digit, else a blank.
  std::string row_colours(int row) const;

  // A world point on the pixel grid: column (x - xmin) x 639 / (xmax - xmin),
  // row 479 - (y - ymin) x 479 / (ymax - ymin), halves rounded away from zero.
  // Before the first window the world is the pixel grid itself.
  Pixel to_pixel(double x, double y) const;
  Pixel position() const { return position_; }

 protected:
  // The painting of a surface; colours are palette indices.
  virtual void paint_clear() {}
  // Paints text just written on the grid: `text` is what landed in the row
  // from `column` on, the part past column 80 already cut off.
  virtual void paint_grid_text(int row, int column, std::string_view text, int colour) = 0;
  virtual void paint_line(Pixel from, Pixel to, int colour) = 0;
  virtual void paint_rectangle(Pixel a, Pixel b, int colour) = 0;
  // Paints a text with its top left at `at`; returns its width in pixels.
  virtual int paint_text(Pixel at, std::string_view text, int colour) = 0;

 private:
  using Row = std::array<Cell, GFX_COLUMNS>;
  std::array<Row, GFX_ROWS> grid_{};
  int mode_ = -1;
  int text_colour_ = 15;
  int colour_ = 15;
  int row_ = 1, column_ = 1;  // the column may run past the grid's edge
  bool windowed_ = false;
  double xmin_ = 0, xmax_ = 0, ymin_ = 0, ymax_ = 0;
  Pixel position_;
};

}  // namespace orva
