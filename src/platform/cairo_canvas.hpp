// The drawing surface of the terminal: a 640 x 480 picture in the 16-colour
// palette, drawn with Cairo and written as a PNG file into a folder when the
// plot pauses. Everything is painted in the order it comes, each item over
// what was painted before: text written on the grid in 8 x 16 cells of a
// monospace font, drawn texts in a serif font of 13 pixels.
#pragma once

#include <filesystem>

#include "platform/grid_canvas.hpp"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace orva {

class CairoCanvas final : public GridCanvas {
 public:
  // The pictures go to `folder`, created when missing.
  explicit CairoCanvas(std::filesystem::path folder);
  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  // Writes NAME-0001.png, or the number after the highest one present; an
  // earlier picture is never overwritten.
  std::optional<std::filesystem::path> gfx_save_picture(std::string_view name) override;

 protected:
  void paint_clear() override;
  void paint_grid_text(int row, int column, std::string_view text, int colour) override;
  void paint_line(Pixel from, Pixel to, int colour) override;
  void paint_rectangle(Pixel a, Pixel b, int colour) override;
  int paint_text(Pixel at, std::string_view text, int colour) override;

 private:
  std::filesystem::path folder_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace orva
