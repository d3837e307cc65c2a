// The graphics sequence every plot follows: the set-up with the red header
// line, labels and values at text positions of the grid, and the end with the
// pause and the return to the text dialogue.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/format.hpp"
#include "platform/platform.hpp"

namespace orva {

// Drawing mode, cleared screen, fonts, and the header line " ORVA V 3_10" in
// red at row 1 of the given column.
void begin_plot(Graphics& g, int header_column);

// A label written at its own text position in the current text colour.
void plot_label(Graphics& g, int row, int column, std::string_view text);

// A value: one console write of the fixed format at the text position, in the
// current text colour. In the drawing mode the console is the text grid: a
// closed line moves the cursor to the start of the next row.
void plot_value(Graphics& g, int row, int column, std::string_view format, std::initializer_list<Value> values);

// The end: the picture is kept (its file named on the note line), then the
// pause for a typed line, the text window and the font released. At the end
// of input the picture is kept all the same and the window returns to text.
void end_plot(Platform& p, std::string_view picture_name);

}  // namespace orva
