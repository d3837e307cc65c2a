#include "analyses/probability_lines.hpp"

#include "platform/console.hpp"

namespace orva {

void write_probability(Platform& p, std::string_view method, double value) {
  write(p, R"(A, "P(DCS) = ", F8.5)", {method, value});
}

void write_probabilities(Platform& p, std::span<const char* const> methods, std::span<const double> values) {
  for (size_t i = 0; i < values.size(); ++i) write_probability(p, methods[i], values[i]);
}

void write_sdev_mean(Platform& p, double SDEV, double MEAN) {
  write(p, R"("  SDEV = ", F8.5, "                            MEAN   = ", F8.5)", {SDEV, MEAN});
}

void write_star_line(Platform& p) {
  write(p, R"("  ************************************************************")");
}

}  // namespace orva
