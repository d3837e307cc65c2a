#include "platform/cairo_canvas.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/files.hpp"

namespace orva {
namespace {

constexpr const char* TEXT_GRID_FONT = "DejaVu Sans Mono";
constexpr double TEXT_GRID_SIZE = 13.0;  // 8 pixels per character
constexpr int TEXT_GRID_BASELINE = 12;   // from the top of a 16-pixel cell
constexpr const char* DRAWN_TEXT_FONT = "DejaVu Serif";
constexpr double DRAWN_TEXT_SIZE = 13.0;

void set_palette_colour(cairo_t* cr, int colour) {
  unsigned rgb = GFX_PALETTE[colour & 15];
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

// A 16-colour display blends nothing: no antialiasing, so every pixel is a
// palette colour.
void crisp(cairo_t* cr) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

// Picture numbers run from 1 to 999999, written with at least four digits.
constexpr int PICTURE_NUMBERS = 1000000;

// The highest number of a picture NAME-nnnn.png in the folder (whatever
// stands under that name), 0 when there is none.
int highest_picture_number(const std::filesystem::path& folder, std::string_view name) {
  const std::string prefix = std::string(name) + "-";
  const std::string suffix = ".png";
  int highest = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string file = it->path().filename().string();
    if (file.size() <= prefix.size() + suffix.size() || !file.starts_with(prefix) || !file.ends_with(suffix)) continue;
    const std::string digits = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
    if (digits.size() < 4 || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    highest = std::max(highest, std::stoi(digits));
  }
  return highest;
}

cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CairoCanvas::CairoCanvas(std::filesystem::path folder)
    : folder_(std::move(folder)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, GFX_WIDTH, GFX_HEIGHT)),
      cr_(cairo_create(surface_)) {
  crisp(cr_);
  cairo_set_line_width(cr_, 1.0);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
  paint_clear();
}

CairoCanvas::~CairoCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void CairoCanvas::paint_clear() {
  set_palette_colour(cr_, 0);
  cairo_paint(cr_);
}

void CairoCanvas::paint_grid_text(int row, int column, std::string_view text, int colour) {
  // The written text, without its outer blanks, gets a black background so
  // that it stays readable over the bars and lines painted before it.
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return;
  size_t last = text.find_last_not_of(' ');
  int top = (row - 1) * GFX_CELL_HEIGHT;
  int left = (column - 1 + static_cast<int>(first)) * GFX_CELL_WIDTH;
  set_palette_colour(cr_, 0);
  cairo_rectangle(cr_, left, top, static_cast<int>(last - first + 1) * GFX_CELL_WIDTH, GFX_CELL_HEIGHT);
  cairo_fill(cr_);

  cairo_select_font_face(cr_, TEXT_GRID_FONT, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, TEXT_GRID_SIZE);
  set_palette_colour(cr_, colour);
  for (size_t k = first; k <= last; ++k) {
    if (text[k] == ' ') continue;
    // One glyph per cell keeps every character on the grid whatever the
    // font's advance.
    char glyph[2] = {text[k], '\0'};
    cairo_move_to(cr_, (column - 1 + static_cast<int>(k)) * GFX_CELL_WIDTH, top + TEXT_GRID_BASELINE);
    cairo_show_text(cr_, glyph);
    cairo_new_path(cr_);
  }
}

void CairoCanvas::paint_line(Pixel from, Pixel to, int colour) {
  set_palette_colour(cr_, colour);
  // Through the pixel centres; the square caps take in both end pixels.
  cairo_move_to(cr_, from.x + 0.5, from.y + 0.5);
  cairo_line_to(cr_, to.x + 0.5, to.y + 0.5);
  cairo_stroke(cr_);
}

void CairoCanvas::paint_rectangle(Pixel a, Pixel b, int colour) {
  set_palette_colour(cr_, colour);
  int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
  cairo_rectangle(cr_, x, y, std::abs(a.x - b.x) + 1, std::abs(a.y - b.y) + 1);
  cairo_fill(cr_);
}

int CairoCanvas::paint_text(Pixel at, std::string_view text, int colour) {
  std::string s(text);
  cairo_select_font_face(cr_, DRAWN_TEXT_FONT, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr_, DRAWN_TEXT_SIZE);
  cairo_font_extents_t font;
  cairo_font_extents(cr_, &font);
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, s.c_str(), &extents);
  set_palette_colour(cr_, colour);
  cairo_move_to(cr_, at.x, at.y + std::round(font.ascent));
  cairo_show_text(cr_, s.c_str());
  cairo_new_path(cr_);
  return static_cast<int>(std::lround(extents.x_advance));
}

std::optional<std::filesystem::path> CairoCanvas::gfx_save_picture(std::string_view name) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) throw std::runtime_error(folder_.string() + ": " + ec.message());

  // The newest picture has the highest number, also after older ones were
  // deleted. The picture lands whole under its name or not at all (also when
  // the program is interrupted while it is written), never in place of an
  // earlier one: a name taken in the meantime is passed over.
  const int next = highest_picture_number(folder_, name) + 1;
  if (next >= PICTURE_NUMBERS) throw std::runtime_error(folder_.string() + ": no free picture name");
  const std::string stem(name);
  auto numbered = [&stem](int n) {
    char number[32];
    std::snprintf(number, sizeof number, "-%04d.png", n);
    return stem + number;
  };

  cairo_surface_flush(surface_);
  std::string png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface_, append_to_string, &png);
  if (status != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error((folder_ / numbered(next)).string() + ": " + cairo_status_to_string(status));
  const NewFile file = file_write_new(folder_, stem + ".png", png, next, PICTURE_NUMBERS, numbered);
  if (!file.written()) throw std::runtime_error(file.path.string() + ": " + file.reason);
  return file.path;
}

}  // namespace orva
