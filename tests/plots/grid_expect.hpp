// Comparing the text grid of a plot with the expected rows.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/grid_canvas.hpp"

namespace orva {
// Pixels in test messages as (x, y).
inline void PrintTo(const Pixel& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace orva

namespace orva::testing {

// One row of the grid: its text and the colour of each non-blank character
// (a hexadecimal palette index), both without trailing blanks.
struct GridRow {
  int row;
  std::string text;
  std::string colours;
};

inline std::string right_trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// Every row listed must match; every other row must be empty.
inline void expect_grid(const GridCanvas& g, const std::vector<GridRow>& rows) {
  for (int r = 1; r <= 30; ++r) {
    std::string text, colours;
    for (const GridRow& e : rows)
      if (e.row == r) text = e.text, colours = e.colours;
    EXPECT_EQ(right_trimmed(g.row_text(r)), text) << "text of row " << r;
    EXPECT_EQ(right_trimmed(g.row_colours(r)), colours) << "colours of row " << r;
  }
}

}  // namespace orva::testing
