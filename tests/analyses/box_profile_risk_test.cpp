#include "analyses/box_profile_risk.hpp"

#include <gtest/gtest.h>

#include "analyses/analysis_fixture.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

struct BoxCase {
  const char* name;
  testing::BoxDive dive;
  std::array<double, 3> nmri, no_stop;
};

// Central, lower and upper values, recomputed independently to the last bit.
const BoxCase BOX_CASES[] = {
    {"air 30 m 25 min", {30, 25, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403},
     {0.10349041283279115, 0.08292460467027041, 0.10156029650475429},
     {0.0505807910189259, 0.008758585371093591, 0.2728700641445335}},
    {"trimix 60 m 20 min, RQ 0.9, altitude, sea water", {60, 20, 0.37, 0.45, 0.9, 10.0, 0.95, 1025.0},
     {0.28535398885767826, 0.21419755485158298, 0.3225786097720188},
     {0.507747744775896, 0.07413965497364268, 0.9450794744438878}},
    {"shallow 7 m 6 min: negative NMRI values", {7, 6, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403},
     {-0.021193102189552393, -0.009616916256423025, -0.036381293008807214},
     {0.0003156166822539004, 0.0001754940655588028, 0.000585690387082594}},
    {"air 40 m 60 min", {40, 60, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403},
     {0.4391049881264979, 0.33077536807700236, 0.50727003935084},
     {0.9707874461689299, 0.6210413404792415, 0.9988242198833949}},
};

TEST(BoxProfileRisk, ValuesOfTheBoxProfile) {
  for (const BoxCase& c : BOX_CASES) {
    BoxProfileRisk r = box_profile_risk(testing::box_dive_state(c.dive));
    for (int s = 0; s < 3; ++s) {
      EXPECT_EQ(r.nmri[s], c.nmri[s]) << c.name << ", NMRI set " << s;
      EXPECT_EQ(r.no_stop[s], c.no_stop[s]) << c.name << ", P-no-stop set " << s;
    }
  }
}

TEST(BoxProfileRisk, TheTensionsOfTheDiveHaveNoInfluence) {
  DiveState st = start_state();
  st.MAXDEPTH = 30;
  st.DIVETIME = 25;
  const std::string plain = console_of(box_profile_air_risk, st);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = 3.0;
    st.PHE[i] = 1.0;
    st.AMIX[i] = 0.3;
    st.BMIX[i] = 0.9;
  }
  st.DEPTH = 12;
  st.TIME = 7;
  EXPECT_EQ(console_of(box_profile_air_risk, st), plain);
}

TEST(BoxProfileRisk, PrintsBothModelsWithTheirBounds) {
  DiveState st = start_state();
  st.MAXDEPTH = 30;
  st.DIVETIME = 25;
  EXPECT_EQ(console_of(box_profile_air_risk, st),
            "  Stat. Tables I M4   NMRI BOX PROFILE AIR:   P(DCS) =  0.10349\n"
            "  untere Fehlergrenze NMRI BOX PROFILE AIR:   P(DCS) =  0.08292\n"
            "  obere Fehlergrenze  NMRI BOX PROFILE AIR:   P(DCS) =  0.10156\n"
            "  *************************************************************\n"
            "\n"
            "  P-NO-STOP Model: NEDU TR 04-42,             P(DCS) =  0.05058\n"
            "  P-NO-STOP Model: untere Fehlergrenze,       P(DCS) =  0.00876\n"
            "  P-NO-STOP Model: obere Fehlergrenze,        P(DCS) =  0.27287\n"
            "  *************************************************************\n");
}

}  // namespace
}  // namespace orva
