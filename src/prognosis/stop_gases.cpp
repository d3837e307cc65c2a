#include "prognosis/stop_gases.hpp"

namespace orva {

const GasBand& gas_band(std::span<const GasBand> bands, std::int64_t s) {
  for (const GasBand& band : bands)
    if (s >= band.shallowest) return band;
  return bands.back();
}

StopGas stop_gas_of(std::span<const GasBand> bands, std::int64_t s, const DiveState& st) {
  const GasBand& band = gas_band(bands, s);
  if (band.bottom_gas) return {st.FN2, st.FHE};
  return {band.fN2, 0.0};
}

std::string labelled_stop_format(std::string_view label, std::string_view minutes_field, std::string_view tail) {
  std::string f = R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit)";
  if (!label.empty()) f += " " + std::string(label);
  f += R"(:", )" + std::string(minutes_field);
  if (!tail.empty()) f += ", " + std::string(tail);
  return f;
}

}  // namespace orva
