// The segment D on a trimix and the profile position it keeps.
//
// Reference values: python3 with decimal, getcontext().prec = 50: the
// inspired pressures in 50-digit decimal rounded once to double, the
// compartment updates in Python float arithmetic in the order of the model
// (exp in decimal, rounded to double), the lines formatted with '%.*f', which
// rounds the exact binary value like an Fw.d field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/depth_time_segment.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

using testing::FakePlatform;
using testing::TempHome;

struct Started {
  TempHome home{false};
  FakePlatform p;
  DiveState st;
  explicit Started(std::vector<std::string> typed) : p(std::move(typed), home.path()) {
    one_time_startup(st);
    reset_dive_state(st, p);
  }
  void d() {
    depth_time_segment(st, p);
    segment_saturation(st, p);
  }
};

TEST(DepthTimeSegment, Trimix18_45At45mFor20min) {
  Started s({"45.", "20."});
  s.st.FO2 = 0.18;
  s.st.FHE = 0.45;
  s.st.FN2 = 0.37;
  s.st.RQ = 0.9;
  s.d();

  EXPECT_EQ(s.p.output(),
            " Eingabe der TAUCHTIEFE in Metern & cm:(m.cm):  Eingabe der TAUCHZEIT in Minuten (min.):"
            "  P amb:  5.419 P insp N2:  1.984 P insp He:  2.413\n"
            "  maximale Tiefe=  45.0 m   gesamte Tauchzeit=     20.0 \n"
            "  aktuelle Tiefe:  45.0 m   aktuelle Zeit:         20.0\n"
            "  - - - - - - - - - - - - - - - - - - - - - - - -\n"
            "  Nr.:  1 1.95 P N2 2.41 P HE Sum.=  4.36 Ceil. m=   3.0 Putol:  1.30\n"
            "  Nr.:  2 1.77 P N2 2.39 P HE Sum.=  4.16 Ceil. m=   7.9 Putol:  1.79\n"
            "  Nr.:  3 1.59 P N2 2.28 P HE Sum.=  3.88 Ceil. m=   9.3 Putol:  1.92\n"
            "  Nr.:  4 1.42 P N2 2.08 P HE Sum.=  3.51 Ceil. m=   9.3 Putol:  1.92\n"
            "  Nr.:  5 1.28 P N2 1.79 P HE Sum.=  3.07 Ceil. m=   8.1 Putol:  1.81\n"
            "  Nr.:  6 1.16 P N2 1.49 P HE Sum.=  2.65 Ceil. m=   6.0 Putol:  1.60\n"
            "  Nr.:  7 1.07 P N2 1.18 P HE Sum.=  2.25 Ceil. m=   4.0 Putol:  1.41\n"
            "  Nr.:  8 1.00 P N2 0.91 P HE Sum.=  1.91 Ceil. m=   2.1 Putol:  1.21\n"
            "  Nr.:  9 0.94 P N2 0.69 P HE Sum.=  1.63 Ceil. m=   0.3 Putol:  1.04\n"
            "  Nr.: 10 0.91 P N2 0.54 P HE Sum.=  1.44 Ceil. m=   0.0 Putol:  0.93\n"
            "  Nr.: 11 0.89 P N2 0.43 P HE Sum.=  1.31 Ceil. m=   0.0 Putol:  0.85\n"
            "  Nr.: 12 0.87 P N2 0.34 P HE Sum.=  1.21 Ceil. m=   0.0 Putol:  0.79\n"
            "  Nr.: 13 0.85 P N2 0.27 P HE Sum.=  1.13 Ceil. m=   0.0 Putol:  0.74\n"
            "  Nr.: 14 0.84 P N2 0.22 P HE Sum.=  1.06 Ceil. m=   0.0 Putol:  0.71\n"
            "  Nr.: 15 0.83 P N2 0.17 P HE Sum.=  1.00 Ceil. m=   0.0 Putol:  0.68\n"
            "  Nr.: 16 0.83 P N2 0.14 P HE Sum.=  0.96 Ceil. m=   0.0 Putol:  0.66\n");

  struct Row {
    int i;
    double PN2, PHE, CEILM, PAMBTOL;
  };
  const Row rows[] = {
      {1, 1.9468970857271086, 2.4125767014460098, 2.974680269854663, 1.3042506114608563},
      {2, 1.7746799328858054, 2.388337481301531, 7.9128345249174314, 1.7877447405106754},
      {3, 1.5935001522291015, 2.2848947199672995, 9.290022142664036, 1.922585025643106},
      {4, 1.4245127273931177, 2.0807711639748456, 9.310018640254167, 1.924542880478539},
      {5, 1.2756905333132433, 1.7921732061488922, 8.134178398291555, 1.8094164943178426},
      {6, 1.1598582078790178, 1.486555082416552, 6.038396548089202, 1.6042187285123017},
      {7, 1.0671154134123415, 1.1846330934775235, 4.00944168238799, 1.4055639852612465},
      {8, 0.9954525941170538, 0.9141671511352443, 2.059025885153704, 1.2145989933916652},
      {9, 0.9418037627215563, 0.6893942792495866, 0.2873048098575345, 1.0411299816974078},
      {10, 0.9076691924515259, 0.5359458957056844, 0.0, 0.9264648309804704},
      {11, 0.8850295231958107, 0.429673664368873, 0.0, 0.8463734518557725},
      {12, 0.8671619948266014, 0.34325025320932623, 0.0, 0.7854166059525255},
      {13, 0.8530569975262678, 0.27336804509064505, 0.0, 0.7381118927158883},
      {14, 0.8417991102485829, 0.21655802376664068, 0.0, 0.7052022272982075},
      {15, 0.8329610577155864, 0.17131194918501746, 0.0, 0.6774148394681269},
      {16, 0.8260280459466482, 0.1354098135509103, 0.0, 0.6617443880004448},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(s.st.PN2[r.i], r.PN2) << r.i;
    EXPECT_EQ(s.st.PHE[r.i], r.PHE) << r.i;
    EXPECT_EQ(s.st.PSUM[r.i], r.PN2 + r.PHE) << r.i;
    EXPECT_EQ(s.st.CEILM[r.i], r.CEILM) << r.i;
    EXPECT_EQ(s.st.PAMBTOL[r.i], r.PAMBTOL) << r.i;
  }
  EXPECT_EQ(s.st.PIHE, 2.412825227939875);
}

TEST(DepthTimeSegment, ProfilePosition) {
  struct Row {
    const char* what;
    std::vector<std::string> typed;  // depth and time of each D
    double MAXDEPTH, DIVETIME;
  };
  const Row rows[] = {
      {"a deeper segment raises the maximum", {"20.", "10.", "30.", "5."}, 30.0, 15.0},
      {"a shallower one keeps it", {"30.", "10.", "6.", "5."}, 30.0, 15.0},
      {"without a point the last digit is a decimal", {"200", "200"}, 20.0, 20.0},
      // A surface segment first leaves MAXDEPTH at 0: the next D starts the dive.
      {"a dive after a first surface segment starts at 0 min", {"0", "30.", "20.", "10."}, 20.0, 10.0},
      {"negative answers are asked again", {"-3.", "3.", "-1.", "1."}, 3.0, 1.0},
  };
  for (const Row& r : rows) {
    Started s(r.typed);
    while (s.p.unread() > 0) s.d();
    EXPECT_EQ(s.st.MAXDEPTH, r.MAXDEPTH) << r.what;
    EXPECT_EQ(s.st.DIVETIME, r.DIVETIME) << r.what;
  }
}

}  // namespace
}  // namespace orva
