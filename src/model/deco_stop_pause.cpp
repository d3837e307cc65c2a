#include "model/deco_stop_pause.hpp"

namespace orva {

void deco_stop_pause(DiveState&, Platform&) {}

}  // namespace orva
