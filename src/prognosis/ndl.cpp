#include "prognosis/ndl.hpp"

namespace orva {

void repetitive_dive_ndl(DiveState&, Platform&) {}
void mod_list_and_ndl_table(DiveState&, Platform&) {}

}  // namespace orva
