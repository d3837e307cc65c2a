#include "model/oxygen_exposure.hpp"

namespace orva {

void protocol_writer(DiveState&, Platform&) {}

}  // namespace orva
