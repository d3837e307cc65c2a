#include "prognosis/accelerated_prognosis.hpp"

#include "prognosis/two_pass.hpp"

namespace orva {

void accelerated_deco_prognosis(DiveState& st, Platform& p) {
  // The two-pass scheme on the 3-m grid with the accelerated gases.
  TwoPassPrognosis ad(3, ACCELERATED_GASES,
                      {.first_heading = R"(" ", " Accelerated Deko Prognose:")",
                       .second_heading = R"(" ", " AD Deko Prognose, mit Sauerstoff", "-Korrekturfaktoren:")",
                       .minutes_field = "F8.1",
                       .tts_field = "F8.1"});
  run_two_passes(ad, st, p);
}

}  // namespace orva
