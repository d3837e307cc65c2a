#include "prognosis/accelerated_prognosis.hpp"

#include "prognosis/two_pass.hpp"

namespace orva {

namespace {

// The two-pass scheme on the 3-m grid with the accelerated gases.
class AcceleratedPrognosis final : public TwoPassPrognosis {
 public:
  AcceleratedPrognosis()
      : TwoPassPrognosis(3, ACCELERATED_GASES,
                         {.first_heading = R"(" ", " Accelerated Deko Prognose:")",
                          .second_heading = R"(" ", " AD Deko Prognose, mit Sauerstoff", "-Korrekturfaktoren:")",
                          .minutes_field = "F8.1",
                          .tts_field = "F8.1"}) {}
};

}  // namespace

void accelerated_deco_prognosis(DiveState& st, Platform& p) {
  AcceleratedPrognosis ad;
  run_two_passes(ad, st, p);
}

}  // namespace orva
