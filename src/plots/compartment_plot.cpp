#include "plots/compartment_plot.hpp"

namespace orva {

void compartment_pressure_plot(DiveState&, Platform&) {}

}  // namespace orva
