// Columns of coefficients written as the tables of the coefficient sets give
// them: "4.0, 8.0, 12.5", with "9-16: 240" for a value of compartments 9 to
// 16 and "1 for all".
#pragma once

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "model/dive_state.hpp"

namespace orva::bench {

inline Comp column(const std::string& text) {
  Comp c{};
  if (text == "1 for all") {
    for (int i = 1; i <= COMPARTMENTS; ++i) c[i] = 1.0;
    return c;
  }
  std::stringstream in(text);
  std::string item;
  int i = 1;
  while (std::getline(in, item, ',')) {
    size_t colon = item.find(':');
    if (colon == std::string::npos) {
      c[i++] = std::strtod(item.c_str(), nullptr);
      continue;
    }
    int first = std::atoi(item.c_str());
    int last = std::atoi(item.c_str() + item.find('-') + 1);
    double v = std::strtod(item.c_str() + colon + 1, nullptr);
    if (first != i) throw std::invalid_argument("range out of order: " + item);
    for (; i <= last; ++i) c[i] = v;
  }
  if (i != COMPARTMENTS + 1) throw std::invalid_argument("not 16 values: " + text);
  return c;
}

}  // namespace orva::bench
