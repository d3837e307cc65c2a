#include "platform/recording_canvas.hpp"

namespace orva {

GfxCall& RecordingCanvas::record(std::string_view op) {
  GfxCall call;
  call.op = op;
  calls_.push_back(std::move(call));
  return calls_.back();
}

void RecordingCanvas::gfx_set_mode(int mode) {
  record("mode").mode = mode;
  GridCanvas::gfx_set_mode(mode);
}

void RecordingCanvas::gfx_load_fonts(std::string_view path) { record("load_fonts").text = path; }

void RecordingCanvas::gfx_select_font(std::string_view options) { record("select_font").text = options; }

void RecordingCanvas::gfx_release_font() { record("release_font"); }

std::optional<std::filesystem::path> RecordingCanvas::gfx_save_picture(std::string_view name) {
  record("save").text = name;
  return std::nullopt;
}

std::vector<GfxCall> RecordingCanvas::calls(std::string_view op) const {
  std::vector<GfxCall> out;
  for (const GfxCall& c : calls_)
    if (c.op == op) out.push_back(c);
  return out;
}

void RecordingCanvas::paint_clear() { record("clear"); }

void RecordingCanvas::paint_grid_text(int row, int column, std::string_view text, int colour) {
  GfxCall& c = record("write");
  c.colour = colour;
  c.row = row;
  c.column = column;
  c.text = text;
}

void RecordingCanvas::paint_line(Pixel from, Pixel to, int colour) {
  GfxCall& c = record("line");
  c.colour = colour;
  c.a = from;
  c.b = to;
}

void RecordingCanvas::paint_rectangle(Pixel a, Pixel b, int colour) {
  GfxCall& c = record("fill");
  c.colour = colour;
  c.a = a;
  c.b = b;
}

int RecordingCanvas::paint_text(Pixel at, std::string_view text, int colour) {
  GfxCall& c = record("text");
  c.colour = colour;
  c.a = at;
  c.text = text;
  return DRAWN_CHAR_WIDTH * static_cast<int>(text.size());
}

}  // namespace orva
