#include "prognosis/surface_ndl_tables.hpp"

namespace orva {

void shunt_ndl_table(DiveState&, Platform&) {}
void oxygen_ndl_table(DiveState&, Platform&) {}
void asymmetric_ndl_table(DiveState&, Platform&) {}

}  // namespace orva
