#include "model/ascent_to_stage.hpp"

namespace orva {

void ascent_to_stage(DiveState&, Platform&) {}

}  // namespace orva
