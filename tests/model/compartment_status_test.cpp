// The stored and printed per-compartment status after a tissue update.
// Reference values: Python float arithmetic in the order of the model.
#include <gtest/gtest.h>

#include "model/compartment_status.hpp"
#include "support/fake_platform.hpp"

namespace orva {
namespace {

DiveState at_start_values() {
  DiveState st;  // holds the start coefficient set
  st.RHO = 998.403;
  st.GRAV = 9.80665;
  st.PAIR = 1.013;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = 0.8004726;
    st.PHE[i] = 0.000005065;
  }
  return st;
}

TEST(CompartmentStatus, StoresClampedToleranceAndCeiling) {
  DiveState st = at_start_values();
  update_compartment_status(st, 1);
  update_compartment_status(st, 16);
  // Compartment 1 lies below its a: both negative, both stored as 0.
  EXPECT_EQ(st.PSUM[1], 0.800477665);
  EXPECT_EQ(st.AMIX[1], 1.2599030530052329);
  EXPECT_EQ(st.BMIX[1], 0.5049994906385052);
  EXPECT_EQ(st.PAMBTOL[1], 0.0);
  EXPECT_EQ(st.CEILM[1], 0.0);
  // Compartment 16 tolerates 0.548 bar: only the ceiling is clamped.
  EXPECT_EQ(st.AMIX[16], 0.23270176663017825);
  EXPECT_EQ(st.BMIX[16], 0.9652997557595815);
  EXPECT_EQ(st.PAMBTOL[16], 0.5480739360225658);
  EXPECT_EQ(st.CEILM[16], 0.0);
}

TEST(CompartmentStatus, ToleranceFromTheMixtureAsItStands) {
  // A pause keeps the mixture of the tensions before it.
  DiveState st = at_start_values();
  st.PSUM[2] = 2.811416;
  st.AMIX[2] = 1.0;
  st.BMIX[2] = 0.6514;
  store_tolerance(st, 2);
  EXPECT_EQ(st.PAMBTOL[2], 1.1799563824);
  EXPECT_EQ(st.CEILM[2], (1.1799563824 - 1.013) * (100000 / (998.403 * 9.80665)));
}

TEST(CompartmentStatus, LinesOfSegmentAndAscent) {
  DiveState st = at_start_values();
  st.PN2[7] = 1.23456;
  st.PHE[7] = 0.5;
  st.PSUM[7] = 1.73456;
  st.CEILM[7] = 2.345;
  st.PAMBTOL[7] = 1.2345;
  testing::FakePlatform p({}, "");
  write_compartment_line(st, p, 7, CompartmentLayout::Segment);
  write_compartment_line(st, p, 7, CompartmentLayout::Ascent);
  EXPECT_EQ(p.output(),
            "  Nr.:  7 1.23 P N2 0.50 P HE Sum.=  1.73 Ceil. m=   2.3 Putol:  1.23\n"
            "  Nr.:  7 1.2346 P N2 0.5000 P HE Sum.=  1.7346 Ceil. m=   2.35   Putol:  1.234\n");
}

}  // namespace
}  // namespace orva
