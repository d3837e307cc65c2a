#include "prognosis/gf_accelerated_nitrox.hpp"

#include "prognosis/accelerated_gf.hpp"
#include "prognosis/accelerated_prognosis.hpp"

namespace orva {

void gf_accelerated_nitrox_prognosis(DiveState& st, Platform& p) {
  // The gradient-factor prognosis on the 3-m grid with the accelerated gases.
  AcceleratedGradientFactorPrognosis gf(3, ACCELERATED_GASES, "F8.1", "F8.1");
  run_schedule(gf, st, p);
}

}  // namespace orva
