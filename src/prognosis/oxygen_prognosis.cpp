#include "prognosis/oxygen_prognosis.hpp"

#include "prognosis/two_pass.hpp"

namespace orva {

void oxygen_deco_prognosis(DiveState& st, Platform& p) {
  // The two-pass scheme on the 3-m grid with oxygen from 6 m up.
  TwoPassPrognosis oc(3, OXYGEN_STOP_GASES,
                      {.first_heading = R"(" ", " OC Deko Prognose, 100% O2 ab 6m:")",
                       .second_heading = R"(" ", " OC Deko Prognose, mit Sauerstoff", "-Korrekturfaktoren:")",
                       .minutes_field = "F6.2",
                       .tts_field = "F7.2"});
  run_two_passes(oc, st, p);
}

}  // namespace orva
