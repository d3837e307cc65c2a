#include "model/coefficient_files.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "model/kernel.hpp"
#include "model/n2_coefficients.hpp"
#include "model/he_coefficients.hpp"
#include "model/coefficient_bench.hpp"

namespace orva {
namespace {

using bench::file_line;
using bench::good_file;
using testing::TempHome;

double four_decimals(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", x);
  return std::strtod(text, nullptr);
}

TEST(CoefficientFile, ReadsAGoodFileColumnByColumn) {
  CoefficientFileRead r = parse_coefficient_file(good_file());
  ASSERT_EQ(r.status, CoefficientFileRead::Status::Good) << r.fault;
  EXPECT_EQ(r.data.title, "TEST SET OF THE DIVE CLUB, NOT F");  // the first 32 characters
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(r.data.TAU[i], bench::file_tau(i)) << i;
    EXPECT_EQ(r.data.A[i], bench::file_a(i)) << i;
    EXPECT_EQ(r.data.B[i], four_decimals(bench::file_b(i))) << i;
    EXPECT_EQ(r.data.GFHI[i], 1.0) << i;
    EXPECT_EQ(r.data.GFLO[i], 1.0) << i;
  }
}

// One compartment line of the file replaced, and what compartment 5 then holds.
struct LineCase {
  const char* what;
  std::string line5;
  double tau, a, b, gfhi, gflo;
};

TEST(CoefficientFile, ReadsFieldsUnderTheInputRules) {
  const LineCase cases[] = {
      {"implied decimals in the half-time", "K05     635  0.6200  0.8126   1.0  1.0", 6.35, 0.62, 0.8126, 1.0, 1.0},
      {"a point after the digits", "K05    635.  0.6200  0.8126   1.0  1.0", 635.0, 0.62, 0.8126, 1.0, 1.0},
      {"a factor of 1 without a point", "K05   27.00  0.6200  0.8126     1  1. ", 27.0, 0.62, 0.8126, 0.1, 1.0},
      {"blanks inside a field", "K05   2 7.0  0. 620  0.8126   0.8  1.0", 27.0, 0.62, 0.8126, 0.8, 1.0},
      {"a comma ends the field", "K05  12,5    0.6200  0.8126   1.0  1.0", 0.12, 0.62, 0.8126, 1.0, 1.0},
      {"a line that ends after b", "K05   27.00  0.6200  0.8126", 27.0, 0.62, 0.8126, 0.0, 0.0},
      {"text after column 38", "K05   27.00  0.6200  0.8126   1.0  1.0 GF 0.3 0.3", 27.0, 0.62, 0.8126, 1.0, 1.0},
      {"a negative a, no range test", "K05   27.00  -0.620  9.9999   9.9  0.0", 27.0, -0.62, 9.9999, 9.9, 0.0},
      {"the smallest b above 0", "K05   27.00  0.6200  0.0001   1.0  1.0", 27.0, 0.62, 0.0001, 1.0, 1.0},
  };
  for (const LineCase& c : cases) {
    std::vector<std::string> lines = good_file();
    lines[5] = c.line5;
    CoefficientFileRead r = parse_coefficient_file(lines);
    ASSERT_EQ(r.status, CoefficientFileRead::Status::Good) << c.what << ": " << r.fault;
    EXPECT_EQ(r.data.TAU[5], c.tau) << c.what;
    EXPECT_EQ(r.data.A[5], c.a) << c.what;
    EXPECT_EQ(r.data.B[5], c.b) << c.what;
    EXPECT_EQ(r.data.GFHI[5], c.gfhi) << c.what;
    EXPECT_EQ(r.data.GFLO[5], c.gflo) << c.what;
  }
}

TEST(CoefficientFile, ReadsSeventeenLinesOfAFileThatOpens) {
  TempHome home;
  std::vector<std::string> lines = good_file();
  lines.push_back("this is no compartment line at all");
  lines.push_back("K17    x.xx  y.yyyy");
  home.write("PROT/N2COEFF.TXT", bench::joined(lines));
  testing::FakePlatform p({}, home.path());
  EXPECT_EQ(load_coefficient_file(p, "N2COEFF.TXT").status, CoefficientFileRead::Status::Good);
  EXPECT_EQ(load_coefficient_file(p, "F10.TXT").status, CoefficientFileRead::Status::NotOpened);
  std::filesystem::create_directories(home.prot("F11.TXT"));
  EXPECT_EQ(load_coefficient_file(p, "F11.TXT").status, CoefficientFileRead::Status::NotOpened);
}

// Faults: the file is refused as a whole, with the line and the field named.
struct FaultCase {
  const char* what;
  std::vector<std::string> lines;
  std::string fault;
};

std::vector<std::string> with_line(size_t index, std::string line) {
  std::vector<std::string> lines = good_file();
  lines[index] = std::move(line);
  return lines;
}

std::vector<std::string> first_lines(size_t n) {
  std::vector<std::string> lines = good_file();
  lines.resize(n);
  return lines;
}

TEST(CoefficientFile, NamesTheLineAndTheFieldOfAFault) {
  const FaultCase cases[] = {
      {"a letter in b", with_line(4, "K04   18.50  0.7562  0.78x5   1.0  1.0"),
       "Zeile 5, Feld B (Spalten 22-27): keine Zahl"},
      {"two points in the half-time", with_line(1, "K01   4..00  1.2599  0.5050   1.0  1.0"),
       "Zeile 2, Feld TAU (Spalten 5-11): keine Zahl"},
      {"a letter in a factor", with_line(16, "K16  635.00  0.2327  0.9653   1.0  l.0"),
       "Zeile 17, Feld GFLO (Spalten 36-38): keine Zahl"},
      {"a blank half-time", with_line(3, "K03          0.8618  0.7222   1.0  1.0"),
       "Zeile 4, Feld TAU (Spalten 5-11): Halbwertszeit 0"},
      {"a half-time of 0.00", with_line(9, file_line(9, 0.0, 0.375, 0.9092)),
       "Zeile 10, Feld TAU (Spalten 5-11): Halbwertszeit 0"},
      {"a short line without a half-time", with_line(7, "K07"), "Zeile 8, Feld TAU (Spalten 5-11): Halbwertszeit 0"},
      {"a negative half-time", with_line(9, file_line(9, -54.0, 0.375, 0.9092)),
       "Zeile 10, Feld TAU (Spalten 5-11): Halbwertszeit negativ"},
      {"the smallest negative half-time", with_line(16, "K16   -0.01  0.2327  0.9653   1.0  1.0"),
       "Zeile 17, Feld TAU (Spalten 5-11): Halbwertszeit negativ"},
      {"b of 0.000 in the first compartment", with_line(1, file_line(1, 4.0, 1.2599, 0.0)),
       "Zeile 2, Feld B (Spalten 22-27): b-Wert 0"},
      {"b of 0 in the last compartment", with_line(16, file_line(16, 635.0, 0.2327, 0.0)),
       "Zeile 17, Feld B (Spalten 22-27): b-Wert 0"},
      {"a blank b", with_line(6, "K06   38.30  0.5043          1.0  1.0"), "Zeile 7, Feld B (Spalten 22-27): b-Wert 0"},
      {"a line that ends before b", with_line(6, "K06   38.30  0.5043"), "Zeile 7, Feld B (Spalten 22-27): b-Wert 0"},
      {"a negative zero b", with_line(6, "K06   38.30  0.5043  -0.000   1.0  1.0"),
       "Zeile 7, Feld B (Spalten 22-27): b-Wert 0"},
      {"a negative b", with_line(8, file_line(8, 77.0, 0.4, -0.891)), "Zeile 9, Feld B (Spalten 22-27): b-Wert negativ"},
      {"the smallest negative b", with_line(8, "K08   77.00  0.4000  -.0001   1.0  1.0"),
       "Zeile 9, Feld B (Spalten 22-27): b-Wert negativ"},
      {"a half-time of 0 goes before a b of 0", with_line(3, "K03    0.00  0.8618  0.0000   1.0  1.0"),
       "Zeile 4, Feld TAU (Spalten 5-11): Halbwertszeit 0"},
      {"the file ends after line 12", first_lines(12), "Zeile 13 fehlt (Datei endet nach Zeile 12)"},
      {"only the title", first_lines(1), "Zeile 2 fehlt (Datei endet nach Zeile 1)"},
      {"an empty file", first_lines(0), "Zeile 1 fehlt (Datei leer)"},
  };
  for (const FaultCase& c : cases) {
    CoefficientFileRead r = parse_coefficient_file(c.lines);
    EXPECT_EQ(r.status, CoefficientFileRead::Status::Faulty) << c.what;
    EXPECT_EQ(r.fault, c.fault) << c.what;
  }
}

// The state of every coefficient, factor, mode and name the commands touch.
std::vector<Comp> arrays(MatrixView m) { return {m.TAU, m.K, m.A, m.B, m.TAU_COPY, m.K_COPY, m.GFHI, m.GFLO}; }

struct Snapshot {
  std::string N2MATRIX, HEMATRIX, GFFLAG;
  double GFHI, GFLO, RHO;
  std::vector<Comp> n2, he;
  explicit Snapshot(DiveState& st)
      : N2MATRIX(st.N2MATRIX), HEMATRIX(st.HEMATRIX), GFFLAG(st.GFFLAG), GFHI(st.GFHI), GFLO(st.GFLO),
        RHO(st.RHO), n2(arrays(n2_matrix(st))), he(arrays(he_matrix(st))) {}
  bool operator==(const Snapshot&) const = default;
};

// A state that already holds a nitrogen file with per-compartment factors
// (mode "V"), helium ZH-L 12 and a pair of factors typed afterwards.
DiveState state_with_earlier_choices(const TempHome& home) {
  DiveState st = bench::started_state();
  std::vector<std::string> f10 = good_file();
  f10[8] = file_line(8, 80.0, 0.41, 0.89, "0.8", "0.3");
  home.write("PROT/F10.TXT", bench::joined(f10));
  bench::console_of(n2_coefficient_choice, st, home, {"10"});
  bench::console_of(he_coefficient_choice, st, home, {"2"});
  st.GFFLAG = "V";
  st.GFHI = 0.85;
  st.GFLO = 0.35;
  return st;
}

TEST(CoefficientFile, AFaultyFileLeavesEverythingAsItWas) {
  const char* faulty_files[] = {"PROT/N2COEFF.TXT", "PROT/F11.TXT", "PROT/HECOEFF.TXT", "PROT/F05.TXT", "PROT/F06.TXT"};
  const std::vector<std::string> option_for = {"3", "11", "3", "5", "6"};
  for (size_t k = 0; k < std::size(faulty_files); ++k) {
    TempHome home;
    DiveState st = state_with_earlier_choices(home);
    const Snapshot before(st);
    home.write(faulty_files[k], bench::joined(with_line(6, "K06   38.30  O.5043  0.8434   1.0  1.0")));
    const bool helium = k >= 2;
    std::string out = bench::console_of(helium ? he_coefficient_choice : n2_coefficient_choice, st, home, {option_for[k]});
    EXPECT_TRUE(Snapshot(st) == before) << faulty_files[k];
    std::string file = std::string(faulty_files[k]).substr(5);
    std::string echo = helium ? "  Option: " + option_for[k] + "  gesetzt!\n"
                              : "  Option: " + std::string(option_for[k].size() == 1 ? " " : "") + option_for[k] + "  set! \n";
    EXPECT_TRUE(out.ends_with(echo + "  Datei " + file +
                              ", Zeile 7, Feld A (Spalten 14-19): keine Zahl - nichts geaendert!\n"))
        << out;
  }
}

// A pipe or a device under the name of a coefficient file is not read (a
// pipe would hold the command up, a device never end); the diver is told.
TEST(CoefficientFile, APipeOrADeviceIsRefusedWithoutWaiting) {
  TempHome home;
  DiveState st = state_with_earlier_choices(home);
  const Snapshot before(st);
  ASSERT_EQ(::mkfifo(home.prot("F11.TXT").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", home.prot("F05.TXT"));
  ::alarm(10);
  std::string n2 = bench::console_of(n2_coefficient_choice, st, home, {"11"});
  std::string he = bench::console_of(he_coefficient_choice, st, home, {"5"});
  ::alarm(0);
  EXPECT_TRUE(Snapshot(st) == before);
  EXPECT_TRUE(n2.ends_with("  Option: 11  set! \n  Datei F11.TXT, keine gewoehnliche Datei - nichts geaendert!\n")) << n2;
  EXPECT_TRUE(he.ends_with("  Option: 5  gesetzt!\n  Datei F05.TXT, keine gewoehnliche Datei - nichts geaendert!\n")) << he;
}

TEST(CoefficientFile, AMissingFileNamesTheOptionAndLeavesModeVButNothingElse) {
  TempHome home;
  DiveState st = state_with_earlier_choices(home);
  Snapshot expected(st);
  std::string out = bench::console_of(n2_coefficient_choice, st, home, {"11"});
  EXPECT_TRUE(out.ends_with("  Option: 11  set! \n")) << out;  // no listing
  expected.N2MATRIX = "File F11  ";
  expected.GFFLAG = "N";
  expected.GFHI = expected.GFLO = 1.0;
  EXPECT_TRUE(Snapshot(st) == expected);
}

TEST(CoefficientFile, TakesAGoodFileIntoTheMatrixOfItsGas) {
  TempHome home;
  DiveState st = bench::started_state();
  st.GFFLAG = "S";
  st.GFHI = 0.9;
  st.GFLO = 0.4;
  const Comp TAUN2 = st.TAUN2, AN2 = st.AN2, BN2 = st.BN2, KN2 = st.KN2;
  home.write("PROT/F05.TXT", bench::joined(good_file()));
  bench::console_of(he_coefficient_choice, st, home, {"5"});
  EXPECT_EQ(st.HEMATRIX, "File F05  ");
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(st.TAUHE[i], bench::file_tau(i));
    EXPECT_EQ(st.AHE[i], bench::file_a(i));
    EXPECT_EQ(st.BHE[i], four_decimals(bench::file_b(i)));
    EXPECT_EQ(st.KHE[i], to_double(LN2 / q(bench::file_tau(i))));
    EXPECT_EQ(st.TAUHE_COPY[i], st.TAUHE[i]);
    EXPECT_EQ(st.KHE_COPY[i], st.KHE[i]);
  }
  EXPECT_EQ(st.TAUN2, TAUN2);
  EXPECT_EQ(st.AN2, AN2);
  EXPECT_EQ(st.BN2, BN2);
  EXPECT_EQ(st.KN2, KN2);
  // All 32 factors exactly 1.0: the single pair stays.
  EXPECT_EQ(st.GFFLAG, "S");
  EXPECT_EQ(st.GFHI, 0.9);
  EXPECT_EQ(st.GFLO, 0.4);
}

TEST(CoefficientFile, AnyFactorOtherThanOneSwitchesToPerCompartmentFactors) {
  struct Case {
    const char* gfhi;
    const char* gflo;
    double GFHI, GFLO;
    const char* mode;
  } cases[] = {{"1.0", "1.0", 1.0, 1.0, "N"},
               {"0.8", "1.0", 0.8, 1.0, "V"},
               {"1.0", "0.3", 1.0, 0.3, "V"},
               {"1. ", "  1", 1.0, 0.1, "V"},
               {"1.1", "1.0", 1.1, 1.0, "V"}};
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = bench::started_state();
    std::vector<std::string> lines = good_file();
    lines[16] = file_line(16, 635.0, 0.2327, 0.9653, c.gfhi, c.gflo);
    home.write("PROT/N2COEFF.TXT", bench::joined(lines));
    bench::console_of(n2_coefficient_choice, st, home, {"3"});
    EXPECT_EQ(st.GFFLAG, c.mode) << c.gfhi << " " << c.gflo;
    EXPECT_EQ(st.GFHI_N2[16], c.GFHI) << c.gfhi;
    EXPECT_EQ(st.GFLO_N2[16], c.GFLO) << c.gflo;
    EXPECT_EQ(st.GFHI_HE[16], 1.0);
  }
}

}  // namespace
}  // namespace orva
