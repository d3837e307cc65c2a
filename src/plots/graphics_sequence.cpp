#include "plots/graphics_sequence.hpp"

#include <stdexcept>
#include <string>

#include "platform/console.hpp"

namespace orva {

void begin_plot(Graphics& g, int header_column) {
  g.gfx_set_mode(18);
  g.gfx_clear_screen();
  // The font file is handed over and not read.
  g.gfx_load_fonts("C:\\ORVA\\LIB\\TMSRB.FON");
  g.gfx_select_font("t'tms rmn'h13w7'e   ");
  g.gfx_set_text_colour(12);
  g.gfx_set_text_position(1, header_column);
  g.gfx_write_text(" ORVA V 3_10" + std::string(66, ' '));
}

void plot_label(Graphics& g, int row, int column, std::string_view text) {
  g.gfx_set_text_position(row, column);
  g.gfx_write_text(text);
}

void plot_value(Graphics& g, int row, int column, std::string_view format, std::initializer_list<Value> values) {
  g.gfx_set_text_position(row, column);
  Record rec = format_record(format, values);
  for (size_t i = 0; i < rec.lines.size(); ++i) {
    g.gfx_write_text(rec.lines[i]);
    if (i + 1 < rec.lines.size() || !rec.open) g.gfx_new_line();
  }
}

void plot_line(Graphics& g, double x1, double y1, double x2, double y2) {
  g.gfx_move_to(x1, y1);
  g.gfx_line_to(x2, y2);
}

double compartment_x(int i, quad offset) { return to_double(q(i) + offset); }

void draw_compartment_number(Graphics& g, int i, double x_one, double x_two, double y) {
  g.gfx_move_to(x_one, y);
  if (i <= 9) {
    g.gfx_draw_text(std::to_string(i));
    return;
  }
  g.gfx_move_to(x_two, y);
  g.gfx_draw_text("1");
  g.gfx_draw_text(std::to_string(i - 10));
}

void end_plot(Platform& p, std::string_view picture_name) {
  Graphics& g = p.graphics();
  try {
    if (auto file = g.gfx_save_picture(picture_name)) p.console_note("Grafik gespeichert: " + file->string());
  } catch (const std::runtime_error& e) {
    p.console_note(std::string("Grafik nicht gespeichert: ") + e.what());
  }
  try {
    wait_enter(p);
  } catch (const EndOfInput&) {
    g.gfx_set_mode(-1);
    g.gfx_release_font();
    throw;
  }
  g.gfx_set_mode(-1);
  g.gfx_release_font();
}

}  // namespace orva
