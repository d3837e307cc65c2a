#include "analyses/risk_estimators.hpp"

namespace orva {

void risk_estimators(DiveState&, Platform&) {}

}  // namespace orva
