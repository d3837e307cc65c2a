#include "model/compartment_status.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

void store_tolerance(DiveState& st, int i) {
  double Ptol = tolerated_pressure(st.PSUM[i], st.AMIX[i], st.BMIX[i]);
  double ceiling = ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
  clamp_tolerance(ceiling, Ptol);
  st.CEILM[i] = ceiling;
  st.PAMBTOL[i] = Ptol;
}

void update_compartment_status(DiveState& st, int i) {
  st.PSUM[i] = st.PN2[i] + st.PHE[i];
  MixedCoefficients mix = mixture_coefficients(st, i);
  st.AMIX[i] = mix.a;
  st.BMIX[i] = mix.b;
  store_tolerance(st, i);
}

void write_compartment_line(const DiveState& st, Platform& p, int i, CompartmentLayout layout) {
  const char* format =
      layout == CompartmentLayout::Segment
          ? R"(" ", " Nr.: ", I2, F5.2, " P N2", F5.2, " P HE", " Sum.= ", F5.2, " Ceil. m= ", F5.1, " Putol: ", F5.2)"
          : R"(" ", " Nr.: ", I2, F7.4, " P N2", F7.4, " P HE", " Sum.= ", F7.4, " Ceil. m= ", F6.2, "   Putol: ", F6.3)";
  write(p, format, {i, st.PN2[i], st.PHE[i], st.PSUM[i], st.CEILM[i], st.PAMBTOL[i]});
}

}  // namespace orva
