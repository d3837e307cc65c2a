// The output lines the risk estimators share: one probability per line after
// a method text of fixed width, the separator and the summary line.
#pragma once

#include <span>
#include <string_view>

#include "platform/platform.hpp"

namespace orva {

// The method text, "P(DCS) = " and the value in F8.5. The value is written as
// computed: a negative value or one above 1 is not clamped, and a value too
// wide for the field shows as asterisks.
void write_probability(Platform& p, std::string_view method, double value);

// One such line per value, each after its method text.
void write_probabilities(Platform& p, std::span<const char* const> methods, std::span<const double> values);

// "  SDEV = " F8.5 "                            MEAN   = " F8.5.
void write_sdev_mean(Platform& p, double SDEV, double MEAN);

// The separator of 62 stars under two leading blanks.
void write_star_line(Platform& p);

}  // namespace orva
