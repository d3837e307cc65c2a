#include "shell/help_screen.hpp"

namespace orva {

void help_screen(DiveState&, Platform&) {}

}  // namespace orva
