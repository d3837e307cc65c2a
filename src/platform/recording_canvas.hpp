// A drawing surface for tests: it keeps the text grid and the list of calls in
// the order they paint, the drawing calls in pixel coordinates after the
// world-window mapping.
#pragma once

#include <string>
#include <vector>

#include "platform/grid_canvas.hpp"

namespace orva {

struct GfxCall {
  // "mode", "clear", "load_fonts", "select_font", "release_font", "write"
  // (text on the grid), "line", "fill", "text" (drawn text), "save".
  std::string op;
  int colour = -1;          // write, line, fill, text
  Pixel a, b;               // line: from, to; fill: the two corners; text: top left
  int row = 0, column = 0;  // write: the first cell
  int mode = 0;             // mode
  std::string text;         // load_fonts, select_font, write, text, save
};

class RecordingCanvas final : public GridCanvas {
 public:
  // The width of a drawn character: the selected font is 7 pixels wide.
  static constexpr int DRAWN_CHAR_WIDTH = 7;

  void gfx_set_mode(int mode) override;
  void gfx_load_fonts(std::string_view path) override;
  void gfx_select_font(std::string_view options) override;
  void gfx_release_font() override;
  std::optional<std::filesystem::path> gfx_save_picture(std::string_view name) override;

  const std::vector<GfxCall>& calls() const { return calls_; }
  // The calls of one kind, in order.
  std::vector<GfxCall> calls(std::string_view op) const;

 protected:
  void paint_clear() override;
  void paint_grid_text(int row, int column, std::string_view text, int colour) override;
  void paint_line(Pixel from, Pixel to, int colour) override;
  void paint_rectangle(Pixel a, Pixel b, int colour) override;
  int paint_text(Pixel at, std::string_view text, int colour) override;

 private:
  GfxCall& record(std::string_view op);
  std::vector<GfxCall> calls_;
};

}  // namespace orva
