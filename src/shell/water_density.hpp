// Water density: the Kell equation with a salinity offset and the correction
// for dissolved air, and the feet of sea water per bar of a density.
#pragma once

namespace orva {

class KellDensity {
 public:
  // The offset makes the given density the one at 20 degrees Celsius.
  explicit KellDensity(double density_at_20);
  // The density in kg/m3 at T degrees Celsius.
  double density(double T) const;

 private:
  double C0_;
};

}  // namespace orva
