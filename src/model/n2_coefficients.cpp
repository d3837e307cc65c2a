#include "model/n2_coefficients.hpp"

namespace orva {

void n2_coefficient_choice(DiveState&, Platform&) {}

}  // namespace orva
