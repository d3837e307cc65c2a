// The graphics surface the plots draw on: a 640 x 480 area with 16 colours and
// a text grid of 80 columns by 30 rows of 8 x 16 pixels.
#pragma once

#include <string_view>

namespace orva {

class Graphics {
 public:
  virtual ~Graphics() = default;
  // Mode 18: the drawing area; mode -1: back to the text window.
  virtual void gfx_set_mode(int mode) = 0;
  virtual void gfx_clear_screen() = 0;
  virtual void gfx_set_text_colour(int colour) = 0;
  virtual void gfx_set_text_position(int row, int column) = 0;
  virtual void gfx_write_text(std::string_view text) = 0;
  virtual void gfx_load_fonts(std::string_view path) = 0;
  virtual void gfx_select_font(std::string_view options) = 0;
  virtual void gfx_release_font() = 0;
  virtual void gfx_draw_text(std::string_view text) = 0;
  // World coordinates over the drawing area, y growing upward.
  virtual void gfx_set_window(double xmin, double ymin, double xmax, double ymax) = 0;
  virtual void gfx_set_colour(int colour) = 0;
  virtual void gfx_move_to(double x, double y) = 0;
  virtual void gfx_line_to(double x, double y) = 0;
  virtual void gfx_fill_rectangle(double x1, double y1, double x2, double y2) = 0;
};

// A surface that draws nothing.
class NullGraphics final : public Graphics {
 public:
  void gfx_set_mode(int) override {}
  void gfx_clear_screen() override {}
  void gfx_set_text_colour(int) override {}
  void gfx_set_text_position(int, int) override {}
  void gfx_write_text(std::string_view) override {}
  void gfx_load_fonts(std::string_view) override {}
  void gfx_select_font(std::string_view) override {}
  void gfx_release_font() override {}
  void gfx_draw_text(std::string_view) override {}
  void gfx_set_window(double, double, double, double) override {}
  void gfx_set_colour(int) override {}
  void gfx_move_to(double, double) override {}
  void gfx_line_to(double, double) override {}
  void gfx_fill_rectangle(double, double, double, double) override {}
};

}  // namespace orva
