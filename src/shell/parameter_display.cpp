#include "shell/parameter_display.hpp"

namespace orva {

void parameter_display(DiveState&, Platform&) {}

}  // namespace orva
