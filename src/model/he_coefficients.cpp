#include "model/he_coefficients.hpp"

namespace orva {

void he_coefficient_choice(DiveState&, Platform&) {}

}  // namespace orva
