#include "platform/grid_canvas.hpp"

#include <algorithm>
#include <cmath>

#include "platform/format.hpp"

namespace orva {

void GridCanvas::gfx_set_mode(int mode) {
  mode_ = mode;
  // Entering the drawing mode starts from an empty black screen.
  if (mode != -1) gfx_clear_screen();
}

void GridCanvas::gfx_clear_screen() {
  grid_ = {};
  row_ = column_ = 1;
  paint_clear();
}

void GridCanvas::gfx_set_text_position(int row, int column) {
  row_ = std::clamp(row, 1, GFX_ROWS);
  column_ = std::clamp(column, 1, GFX_COLUMNS);
}

void GridCanvas::gfx_write_text(std::string_view text) {
  // Text that runs past column 80 is clipped at the grid's edge; it does not
  // continue on the next row.
  int column = column_;
  size_t landed = column <= GFX_COLUMNS ? std::min<size_t>(text.size(), GFX_COLUMNS - column + 1) : 0;
  for (size_t k = 0; k < landed; ++k) grid_[row_ - 1][column - 1 + k] = {text[k], text_colour_};
  column_ += static_cast<int>(text.size());
  if (landed > 0) paint_grid_text(row_, column, text.substr(0, landed), text_colour_);
}

void GridCanvas::gfx_new_line() {
  row_ = std::min(row_ + 1, GFX_ROWS);
  column_ = 1;
}

void GridCanvas::gfx_draw_text(std::string_view text) {
  int width = paint_text(position_, text, colour_);
  position_.x += width;
}

void GridCanvas::gfx_set_window(double x1, double y1, double x2, double y2) {
  windowed_ = true;
  xmin_ = std::min(x1, x2);
  xmax_ = std::max(x1, x2);
  ymin_ = std::min(y1, y2);
  ymax_ = std::max(y1, y2);
}

void GridCanvas::gfx_line_to(double x, double y) {
  Pixel to = to_pixel(x, y);
  paint_line(position_, to, colour_);
  position_ = to;
}

void GridCanvas::gfx_fill_rectangle(double x1, double y1, double x2, double y2) {
  paint_rectangle(to_pixel(x1, y1), to_pixel(x2, y2), colour_);
}

Pixel GridCanvas::to_pixel(double x, double y) const {
  if (!windowed_) return {static_cast<int>(round_half_away(x)), static_cast<int>(round_half_away(y))};
  double column = (x - xmin_) * (GFX_WIDTH - 1) / (xmax_ - xmin_);
  double row = (GFX_HEIGHT - 1) - (y - ymin_) * (GFX_HEIGHT - 1) / (ymax_ - ymin_);
  // Far outside the window a point still lands on a representable pixel; the
  // drawing area clips it.
  auto whole = [](double v) {
    if (std::isnan(v)) return -1000000;
    return static_cast<int>(std::clamp(round_half_away(v), -1.0e6, 1.0e6));
  };
  return {whole(column), whole(row)};
}

std::string GridCanvas::row_text(int row) const {
  std::string s;
  for (const Cell& c : grid_[row - 1]) s += c.colour < 0 ? ' ' : c.ch;
  return s;
}

std::string GridCanvas::row_colours(int row) const {
  static constexpr char HEX[] = "0123456789ABCDEF";
  std::string s;
  for (const Cell& c : grid_[row - 1]) s += (c.colour < 0 || c.ch == ' ') ? ' ' : HEX[c.colour & 15];
  return s;
}

}  // namespace orva
