// The graphics sequence every plot follows: the set-up with the red header
// line, labels and values at text positions of the grid, and the end with the
// pause and the return to the text dialogue.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/format.hpp"
#include "platform/platform.hpp"
#include "platform/quad.hpp"

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

// Drawing helpers of the charts.
// A line from one world point to another.
void plot_line(Graphics& g, double x1, double y1, double x2, double y2);
// The x of a bar edge or mark: compartment number plus offset, in binary128.
double compartment_x(int i, quad offset);
// The number of compartment i under its bar: one digit drawn at (x_one, y);
// from 10 on "1" and then the last digit, drawn from (x_two, y) on (the
// graphics position is moved to (x_one, y) first in either case).
void draw_compartment_number(Graphics& g, int i, double x_one, double x_two, double y);

// The end: the picture is kept (its file named on the note line), then the
// pause for a typed line, the text window and the font released. At the end
// of input the picture is kept all the same and the window returns to text.
void end_plot(Platform& p, std::string_view picture_name);

}  // namespace orva
