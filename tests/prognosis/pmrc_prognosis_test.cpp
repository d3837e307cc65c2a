#include "prognosis/pmrc_prognosis.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/kernel.hpp"
#include "model/started_state.hpp"

namespace orva {
namespace {

using testing::StartedState;

// A diver at 10 m with surface tensions, except compartment i, which holds
// nitrogen only, at the tension P.
struct OneLoadedCompartment : StartedState {
  OneLoadedCompartment(int i, double P) {
    st.DEPTH = 10.0;
    st.PN2[i] = P;
    st.PHE[i] = 0.0;
  }
};

// The nitrogen tension at which compartment i's tolerated pressure lies
// `ceiling` metres below the surface.
double tension_of_ceiling(const DiveState& st, int i, double ceiling) {
  double Ptol = ceiling * pressure_per_metre(st.RHO, st.GRAV) + st.PAIR;
  return Ptol / st.BN2[i] + st.AN2[i];
}

TEST(PmrcPrognosis, CeilingFactorsRaiseTheFirstStopOfTheNineFastestCompartments) {
  // The unraised ceiling 2.95 m would start at 3 m; raised even by 1.01
  // (compartment 9) it lies deeper than 3 m. The stop times come from the
  // unraised tension against the lowered M-values.
  struct Case {
    int i;
    std::vector<std::string> stops;
  } cases[] = {
      {1,
       {"  9m Stopp Prognose Dekozeit (PMRC):  3.00", "  6m Stopp Prognose Dekozeit (PMRC):  2.00",
        "  3m Stopp Prognose Dekozeit (PMRC):  2.00", " TTS =    8.00"}},
      {5,
       {"  9m Stopp Prognose Dekozeit (PMRC):  9.00", "  6m Stopp Prognose Dekozeit (PMRC): 17.00",
        "  3m Stopp Prognose Dekozeit (PMRC): 18.00", " TTS =   45.00"}},
      {9, {"  6m Stopp Prognose Dekozeit (PMRC):  4.00", "  3m Stopp Prognose Dekozeit (PMRC): 79.00", " TTS =   84.00"}},
      {10, {"  3m Stopp Prognose Dekozeit (PMRC):109.00", " TTS =  110.00"}},
      {16, {"  3m Stopp Prognose Dekozeit (PMRC):635.00", " TTS =  636.00"}},
  };
  for (const Case& c : cases) {
    StartedState probe;
    OneLoadedCompartment s(c.i, tension_of_ceiling(probe.st, c.i, 2.95));
    pmrc_deco_prognosis(s.st, s.p);
    std::vector<std::string> expected = {"  Deko Prognose nach PMRC: "};
    expected.insert(expected.end(), c.stops.begin(), c.stops.end());
    EXPECT_EQ(s.lines(), expected) << "compartment " << c.i;
  }
}

TEST(PmrcPrognosis, MValueFactorsLengthenTheStopsOfTheNineFastestCompartments) {
  // A tension just below the full surface M-value needs no time in the plain
  // model, but lies above the lowered M-value of compartments 1 to 9 (whose
  // raised tension starts compartment 1 at 6 m).
  struct Case {
    int i;
    std::vector<std::string> stops;
  } cases[] = {
      {1, {"  6m Stopp Prognose Dekozeit (PMRC):  2.00", "  3m Stopp Prognose Dekozeit (PMRC):  2.00", " TTS =    5.00"}},
      {9, {"  3m Stopp Prognose Dekozeit (PMRC):  5.00", " TTS =    6.00"}},
      {10, {"  3m Stopp Prognose Dekozeit (PMRC):  1.00", " TTS =    2.00"}},
  };
  for (const Case& c : cases) {
    StartedState probe;
    double M0 = m_value(probe.st.PAIR, probe.st.AN2[c.i], probe.st.BN2[c.i]);
    OneLoadedCompartment s(c.i, M0 - 0.001);
    pmrc_deco_prognosis(s.st, s.p);
    std::vector<std::string> expected = {"  Deko Prognose nach PMRC: "};
    expected.insert(expected.end(), c.stops.begin(), c.stops.end());
    EXPECT_EQ(s.lines(), expected) << "compartment " << c.i;
  }
}

}  // namespace
}  // namespace orva
