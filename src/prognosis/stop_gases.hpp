// The gas breathed at a stop, chosen by the stop depth, and the label that the
// stop line of that gas shows ("Prognose Dekozeit (EAN 50):").
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "prognosis/engine.hpp"

namespace orva {

// One band of stop depths: every stop of `shallowest` metres or deeper that no
// deeper band takes. A band breathes either the bottom gas (FN2 and FHE of
// DiveState) or the nitrogen fraction `fN2` without helium.
struct GasBand {
  std::int64_t shallowest;
  bool bottom_gas;
  double fN2;
  std::string_view label;  // "" for the bottom gas
};

// The band of stop s in a table ordered from the deepest band to the
// shallowest, whose last band reaches up to the surface.
const GasBand& gas_band(std::span<const GasBand> bands, std::int64_t s);

// The fractions breathed at stop s.
StopGas stop_gas_of(std::span<const GasBand> bands, std::int64_t s, const DiveState& st);

// The stop line " ", I2, "m Stopp", " ", "Prognose Dekozeit (label):", minutes,
// followed by the items of `tail`; without a label "Prognose Dekozeit:".
std::string labelled_stop_format(std::string_view label, std::string_view minutes_field,
                                 std::string_view tail = "");

}  // namespace orva
