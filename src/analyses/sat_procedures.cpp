#include "analyses/sat_procedures.hpp"

namespace orva {

void mt92_sat_procedure(DiveState&, Platform&) {}
void normam15_sat_procedure(DiveState&, Platform&) {}
void usn_sat_1991_procedure(DiveState&, Platform&) {}
void usn_sat_2018_procedure(DiveState&, Platform&, double&) {}
void usn_sat_excursions(DiveState&, Platform&) {}

}  // namespace orva
