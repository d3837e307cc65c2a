#include "plots/percent_plots.hpp"

namespace orva {

void percent_saturation_plot(DiveState&, Platform&) {}
void trimix_heat_map(DiveState&, Platform&) {}

}  // namespace orva
