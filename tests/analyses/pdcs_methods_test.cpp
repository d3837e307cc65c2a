#include "analyses/pdcs_methods.hpp"

#include <gtest/gtest.h>

#include "analyses/analysis_fixture.hpp"

namespace orva {
namespace {

using testing::console_of;
using testing::start_state;

struct PdcsCase {
  const char* name;
  testing::BoxDive dive;
  double TTS;
  // I, II, III x3, IVa x3, IVb x3, Va x3, Vb x3, SDEV, MEAN
  std::array<double, 19> expected;
};

// Recomputed independently to the last bit.
const PdcsCase PDCS_CASES[] = {
    {"air 30 m 25 min, TTS 10", {30, 25, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403}, 10.0,
     {0.04089539742459773, 0.09672578825479021, 0.19351435451742555, 0.009981136766543086, 0.4111348772508194,
      0.03590691778122992, 0.009888404699633167, 0.4068625107299882, 0.03500901691186532, 0.0110149015710703,
      0.15548402447741277, 0.02666291487750783, 4.072867769062961e-13, 0.9999999997585467, 0.016553644174003387,
      1.9885415674278786e-10, 0.9999992981432381, 0.05812869299436325, 0.06360971913448855}},
    {"trimix 60 m 20 min, RQ 0.9, altitude, sea water, TTS 35.5", {60, 20, 0.37, 0.45, 0.9, 10.0, 0.95, 1025.0}, 35.5,
     {0.4746876210347558, 0.23372672430259384, 0.1533284233985098, 0.0069749216876634525, 0.3272759731439634,
      0.1001936637160371, 0.0198601072268294, 0.8419503205371934, 0.10374015950412671, 0.022585731081144138,
      0.5194825093836997, 0.5379487612768936, 1.0151259722658505e-11, 0.9999999999969552, 0.42844150618498256,
      4.529493453052486e-09, 0.9999999919390185, 0.1720957046147711, 0.2902952656311285}},
    // Method II negative and the lower bound of III above 1: printed as they come.
    {"shallow 7 m 6 min, TTS 0", {7, 6, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403}, 0.0,
     {8.498620006749051e-07, -0.001234918094184928, 0.511406771726063, 0.03181391952236525, 1.0767845034402432,
      0.003049755550516218, 0.002147574533224699, 0.00485324028790146, 0.004050003760491152, 0.002902769666901141,
      0.00586468046501696, 2.5620027785899774e-07, 3.176449816883559e-16, 0.9978518227753636, 7.469840441950634e-08,
      7.742159296950975e-15, 0.41884458291482835, 0.17862157353107333, 0.07389611338622405}},
    {"air 40 m 60 min, TTS 62", {40, 60, 0.7902, 0.000005, 1.0, 9.0, 1.013, 998.403}, 62.0,
     {0.7008186746009838, 0.16010465611273278, 0.1699267885820486, 0.008758607576903384, 0.3611464709036659,
      0.49153647352530316, 0.06749244043123538, 0.9973340951447425, 0.36737513453863213, 0.05749398140840035,
      0.9328813151734369, 0.7583949022300646, 5.1060442276560995e-12, 0.9999999999997695, 0.7422914616755096,
      1.3760041868248124e-08, 0.9999999983414505, 0.24089857279864102, 0.48434972732361065}},
};

std::array<double, 19> flatten(const PdcsResult& r) {
  return {r.I,     r.II,    r.III[0], r.III[1], r.III[2], r.IV[0], r.IV[1], r.IV[2], r.IV[3], r.IV[4],
          r.IV[5], r.V[0],  r.V[1],   r.V[2],   r.V[3],   r.V[4],  r.V[5],  r.SDEV,  r.MEAN};
}

TEST(PdcsMethods, ValuesOfTheSevenMethods) {
  for (const PdcsCase& c : PDCS_CASES) {
    std::array<double, 19> got = flatten(pdcs_values(testing::box_dive_state(c.dive), c.TTS));
    for (size_t j = 0; j < got.size(); ++j) EXPECT_EQ(got[j], c.expected[j]) << c.name << ", value " << j;
  }
}

TEST(PdcsMethods, TheTimeToSurfaceChangesOnlyTheFourthMethods) {
  DiveState st = start_state();
  st.MAXDEPTH = 30;
  st.DIVETIME = 25;
  std::array<double, 19> a = flatten(pdcs_values(st, 0.0)), b = flatten(pdcs_values(st, 120.0));
  for (size_t j = 0; j < a.size(); ++j) {
    bool fourth = j >= 5 && j <= 10;
    bool summary = j >= 17;
    if (fourth || summary)
      EXPECT_NE(a[j], b[j]) << "value " << j;
    else
      EXPECT_EQ(a[j], b[j]) << "value " << j;
  }
}

TEST(PdcsMethods, PrintsTheMethodsAfterTheTimeToSurface) {
  DiveState st = start_state();
  st.MAXDEPTH = 30;
  st.DIVETIME = 25;
  // A negative time asks again; "10." is ten minutes.
  EXPECT_EQ(console_of(pdcs_methods, st, {"-5.", "10."}),
            " Eingabe der TTS (fuer Methoden IVa  und IVb) in min: \n"
            " Eingabe der TTS (fuer Methoden IVa  und IVb) in min: \n"
            "  Methode I:   Southerland 1992,             P(DCS) =  0.04090\n"
            "  Methode II:  PME enhanced 6 Compartments,  P(DCS) =  0.09673\n"
            "  ************************************************************\n"
            "  Methode III: Stat. Tables Part VI, Model 4 P(DCS) =  0.19351\n"
            "  Methode III: untere Fehlergrenze,          P(DCS) =  0.00998\n"
            "  Methode III: obere Fehlergrenze,           P(DCS) =  0.41113\n"
            "  ************************************************************\n"
            "  Methode IVa: NEDU Report 12/2004,          P(DCS) =  0.03591\n"
            "  Methode IVa: untere Fehlergrenze,          P(DCS) =  0.00989\n"
            "  Methode IVa: obere Fehlergrenze,           P(DCS) =  0.40686\n"
            "  Methode IVb:     Combined Model,           P(DCS) =  0.03501\n"
            "  Methode IVb: untere Fehlergrenze,          P(DCS) =  0.01101\n"
            "  Methode IVb: obere Fehlergrenze,           P(DCS) =  0.15548\n"
            "  ************************************************************\n"
            "  Methode Va:  NEDU Report 03/2009,          P(DCS) =  0.02666\n"
            "  Methode Va:  untere Fehlergrenze,          P(DCS) =  0.00000\n"
            "  Methode Va:  obere Fehlergrenze,           P(DCS) =  1.00000\n"
            "  ************************************************************\n"
            "  Methode Vb:  NEDU Report 03/2009,          P(DCS) =  0.01655\n"
            "  Methode Vb:  untere Fehlergrenze,          P(DCS) =  0.00000\n"
            "  Methode Vb:  obere Fehlergrenze,           P(DCS) =  1.00000\n"
            "\n"
            "  SDEV =  0.05813                            MEAN   =  0.06361\n"
            "  ************************************************************\n");
}

TEST(PdcsMethods, TimeToSurfaceAnswers) {
  DiveState st = start_state();
  st.MAXDEPTH = 30;
  st.DIVETIME = 25;
  const std::string prompt = " Eingabe der TTS (fuer Methoden IVa  und IVb) in min: \n";
  testing::expect_answers(pdcs_methods, st, prompt,
                          {
                              {{""}, 1, "0."},                  // empty: zero, accepted, no default
                              {{"30"}, 1, "0.30"},              // without a point the last two digits are decimals
                              {{"x", "-0.01", "5."}, 3, "5."},  // malformed and negative answers ask again
                              {{"9999.99"}, 1, "9999.99"},      // no upper bound
                          });
  // 30 and 30. are different times.
  DiveState a = st, b = st;
  EXPECT_NE(console_of(pdcs_methods, a, {"30"}), console_of(pdcs_methods, b, {"30."}));
}

}  // namespace
}  // namespace orva
