#include "analyses/pdcs_methods.hpp"

namespace orva {

void pdcs_methods(DiveState&, Platform&) {}

}  // namespace orva
