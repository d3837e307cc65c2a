// The graphics surface the plots draw on: a 640 x 480 area with 16 colours and
// a text grid of 80 columns by 30 rows of 8 x 16 pixels.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orva {

// The drawing area and its text grid.
constexpr int GFX_WIDTH = 640;
constexpr int GFX_HEIGHT = 480;
constexpr int GFX_COLUMNS = 80;
constexpr int GFX_ROWS = 30;
constexpr int GFX_CELL_WIDTH = 8;
constexpr int GFX_CELL_HEIGHT = 16;

// The 16-colour palette, 0xRRGGBB by index.
constexpr unsigned GFX_PALETTE[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

class Graphics {
 public:
  virtual ~Graphics() = default;
  // Mode 18: the drawing area, cleared; mode -1: back to the text window.
  virtual void gfx_set_mode(int mode) = 0;
  // Clears to black and puts the text cursor at row 1, column 1.
  virtual void gfx_clear_screen() = 0;
  virtual void gfx_set_text_colour(int colour) = 0;
  // Row 1..30, column 1..80, clamped to the grid.
  virtual void gfx_set_text_position(int row, int column) = 0;
  // Writes at the text cursor in the text colour; the cursor follows the text.
  virtual void gfx_write_text(std::string_view text) = 0;
  // Ends the line at the text cursor: the cursor goes to column 1 of the next
  // row (it stays on the last row at the bottom).
  virtual void gfx_new_line() = 0;
  virtual void gfx_load_fonts(std::string_view path) = 0;
  virtual void gfx_select_font(std::string_view options) = 0;
  virtual void gfx_release_font() = 0;
  // Draws in the selected font at the graphics position in the graphics
  // colour, the position being the top left of the text; the position then
  // advances by the width of the text.
  virtual void gfx_draw_text(std::string_view text) = 0;
  // World coordinates over the drawing area, y growing upward; the two points
  // are opposite corners in any order.
  virtual void gfx_set_window(double x1, double y1, double x2, double y2) = 0;
  virtual void gfx_set_colour(int colour) = 0;
  virtual void gfx_move_to(double x, double y) = 0;
  virtual void gfx_line_to(double x, double y) = 0;
  virtual void gfx_fill_rectangle(double x1, double y1, double x2, double y2) = 0;
  // Keeps the picture as it stands where the user can look at it after the
  // plot; the result names where it went (nothing when the surface keeps no
  // pictures). `name` says which plot it is. Throws std::runtime_error when
  // the picture cannot be written.
  virtual std::optional<std::filesystem::path> gfx_save_picture(std::string_view name) = 0;
};

// A surface that draws nothing.
class NullGraphics final : public Graphics {
 public:
  void gfx_set_mode(int) override {}
  void gfx_clear_screen() override {}
  void gfx_set_text_colour(int) override {}
  void gfx_set_text_position(int, int) override {}
  void gfx_write_text(std::string_view) override {}
  void gfx_new_line() override {}
  void gfx_load_fonts(std::string_view) override {}
  void gfx_select_font(std::string_view) override {}
  void gfx_release_font() override {}
  void gfx_draw_text(std::string_view) override {}
  void gfx_set_window(double, double, double, double) override {}
  void gfx_set_colour(int) override {}
  void gfx_move_to(double, double) override {}
  void gfx_line_to(double, double) override {}
  void gfx_fill_rectangle(double, double, double, double) override {}
  std::optional<std::filesystem::path> gfx_save_picture(std::string_view) override { return std::nullopt; }
};

}  // namespace orva
