#include "shell/state_file.hpp"

namespace orva {

void state_file(DiveState&, Platform&) {}

}  // namespace orva
