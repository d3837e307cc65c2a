// The state file of F: the file written for a known state, the round trip
// through a new program start, bad files and bad names. The dialogue itself
// is in the transcripts state-file-*.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "analyses/dciem_stress.hpp"
#include "analyses/rgbm_reduction.hpp"
#include "analyses/risk_estimators.hpp"
#include "model/ascent_to_stage.hpp"
#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"
#include "model/started_state.hpp"
#include "platform/format.hpp"
#include "platform/recording_canvas.hpp"
#include "shell/settings_cases.hpp"
#include "shell/state_file.hpp"
#include "support/fake_platform.hpp"
#include "support/file_faults.hpp"
#include "support/handler_run.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::run_session;
using testing::SessionResult;
using testing::split_lines;
using testing::TempHome;

// Every value a read may change, in file order, and the nitrogen fraction.
std::vector<double> read_values(const DiveState& st) {
  std::vector<double> v = {st.PAIR, st.AMV,  st.RQ,   st.FO2,      st.FHE,      st.ASCRATE, st.VO2,
                           st.CNS,  st.OTU,  st.KCNS, st.KPOT,     st.PRT,      st.GFHI,    st.GFLO,
                           st.LASTSTOP, st.DEPTH, st.TIME, st.MAXDEPTH, st.DIVETIME, st.DEEPSTOP, st.FN2};
  for (int i = 1; i <= COMPARTMENTS; ++i)
    v.insert(v.end(), {st.PN2[i], st.PHE[i], st.PSUM[i], st.CEILM[i], st.PAMBTOL[i]});
  return v;
}

// A state with a value in every field of the file.
DiveState known_state() {
  DiveState st;
  st.PAIR = 0.95, st.AMV = 22.5, st.RQ = 0.9, st.FO2 = 0.2095, st.FHE = 0.000005, st.ASCRATE = 9.0, st.VO2 = 0.25;
  st.CNS = 5.5556, st.OTU = 14.08, st.KCNS = 158.4, st.KPOT = 0.3, st.PRT = 31.42;
  st.BZFLAG = "Y", st.GFHI = 0.3, st.GFLO = 0.8, st.LASTSTOP = 6.0, st.DEEPSTOP = 12.0;
  st.DEPTH = 30.0, st.TIME = 25.0, st.MAXDEPTH = 30.0, st.DIVETIME = 25.0;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.PN2[i] = 3.0 - 0.125 * i;
    st.PHE[i] = 0.0625 * i;
    st.PSUM[i] = st.PN2[i] + st.PHE[i];
    st.CEILM[i] = 0.75 * i;
    st.PAMBTOL[i] = 0.5 + 0.03125 * i;
  }
  return st;
}

// The file of known_state(): FO2 0.2095 keeps three decimals, FHE 0.000005
// is a zero field without its leading zero, the Putol ties go to even.
const char* const KNOWN_FILE =
    "  - - - - - - - - - - - - - - - - - - - - - - - -\n"
    " Luftdruck: 0.950 AMV: 22.5 RQ: 0.900 O2: 0.209 He: .000   AR:   9.00 VO2: 0.25\n"
    " CNS:     5.6 OTU:    14.1 K CNS-OT:     158. K P-OT:      0.  PRT:  31.4\n"
    " Korrektur: Y GFHI=   0.30 GFLO=   0.80 LAST STOP=  6.0 m First Stop = 12.0 m\n"
    " Tiefe:  30.00    Zeit:     25.0 max. Tiefe=  30.00 ges. Tauchzeit=     25.0\n"
    "   berechnete Kompartimentwerte:\n"
    "  Nr.:  1 2.8750 P N2 0.0625 P He Sum.=  2.9375 Ceil. m=  0.75 Putol:  0.531\n"
    "  Nr.:  2 2.7500 P N2 0.1250 P He Sum.=  2.8750 Ceil. m=  1.50 Putol:  0.562\n"
    "  Nr.:  3 2.6250 P N2 0.1875 P He Sum.=  2.8125 Ceil. m=  2.25 Putol:  0.594\n"
    "  Nr.:  4 2.5000 P N2 0.2500 P He Sum.=  2.7500 Ceil. m=  3.00 Putol:  0.625\n"
    "  Nr.:  5 2.3750 P N2 0.3125 P He Sum.=  2.6875 Ceil. m=  3.75 Putol:  0.656\n"
    "  Nr.:  6 2.2500 P N2 0.3750 P He Sum.=  2.6250 Ceil. m=  4.50 Putol:  0.688\n"
    "  Nr.:  7 2.1250 P N2 0.4375 P He Sum.=  2.5625 Ceil. m=  5.25 Putol:  0.719\n"
    "  Nr.:  8 2.0000 P N2 0.5000 P He Sum.=  2.5000 Ceil. m=  6.00 Putol:  0.750\n"
    "  Nr.:  9 1.8750 P N2 0.5625 P He Sum.=  2.4375 Ceil. m=  6.75 Putol:  0.781\n"
    "  Nr.: 10 1.7500 P N2 0.6250 P He Sum.=  2.3750 Ceil. m=  7.50 Putol:  0.812\n"
    "  Nr.: 11 1.6250 P N2 0.6875 P He Sum.=  2.3125 Ceil. m=  8.25 Putol:  0.844\n"
    "  Nr.: 12 1.5000 P N2 0.7500 P He Sum.=  2.2500 Ceil. m=  9.00 Putol:  0.875\n"
    "  Nr.: 13 1.3750 P N2 0.8125 P He Sum.=  2.1875 Ceil. m=  9.75 Putol:  0.906\n"
    "  Nr.: 14 1.2500 P N2 0.8750 P He Sum.=  2.1250 Ceil. m= 10.50 Putol:  0.938\n"
    "  Nr.: 15 1.1250 P N2 0.9375 P He Sum.=  2.0625 Ceil. m= 11.25 Putol:  0.969\n"
    "  Nr.: 16 1.0000 P N2 1.0000 P He Sum.=  2.0000 Ceil. m= 12.00 Putol:  1.000\n";

// Runs F alone on a state with the given typed lines.
std::string run_f(DiveState& st, const TempHome& home, std::vector<std::string> typed) {
  FakePlatform p(std::move(typed), home.path());
  state_file(st, p);
  EXPECT_EQ(p.unread(), 0u);
  return p.output();
}

// The names in the PROT folder, in order.
std::vector<std::string> prot_files(const TempHome& home) {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(home.path() / "PROT")) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(StateFileWrite, WritesTheTwentyTwoFixedColumnLines) {
  TempHome home;
  DiveState st = known_state();
  std::string shown = run_f(st, home, {"TEST", "W"});
  // Four blanks of the name field stand before ".TXT"; nothing is shown
  // after the W/R question.
  EXPECT_EQ(home.read("PROT/TEST    .TXT"), KNOWN_FILE);
  EXPECT_EQ(shown, "  Filename = ? TEST             4\n  WRITE = W, READ = R ?");
}

TEST(StateFileRead, TakesEveryValueFromItsColumns) {
  TempHome home;
  home.write("PROT/TEST    .TXT", KNOWN_FILE);
  DiveState st;
  st.FN2 = 0.7902;
  run_f(st, home, {"TEST", "r"});
  DiveState expected = known_state();
  // What the columns hold: three decimals of FO2, none of FHE, one of CNS ...
  expected.FO2 = 0.209, expected.FHE = 0.0, expected.CNS = 5.6, expected.OTU = 14.1;
  expected.KCNS = 158.0, expected.KPOT = 0.0, expected.PRT = 31.4;
  for (int i = 1; i <= COMPARTMENTS; ++i) expected.PAMBTOL[i] = *parse_fixed(format_fixed(0.5 + 0.03125 * i, 6, 3), 6, 3);
  // A zero helium field leaves the nitrogen fraction as it was when it fits
  // the oxygen of the file.
  expected.FN2 = 0.7902;
  EXPECT_EQ(read_values(st), read_values(expected));
  EXPECT_EQ(st.BZFLAG, "Y");
}

TEST(StateFileRead, ANitrogenFractionOfAnotherGasIsComputedFromTheFile) {
  struct Case {
    double FN2_before, FN2_after;
  } cases[] = {{0.7902, 0.7902}, {0.7915, 0.7915}, {0.75, 0.791}, {0.68, 0.791}, {0.0, 0.791}};
  for (const Case& c : cases) {
    TempHome home;
    home.write("PROT/TEST    .TXT", KNOWN_FILE);
    DiveState st;
    st.FN2 = c.FN2_before;
    run_f(st, home, {"TEST", "R"});
    EXPECT_EQ(st.FN2, c.FN2_after) << c.FN2_before;
  }
}

// A read changes the values of the file and the nitrogen fraction, nothing
// else: not the oxygen sums behind the K values, the mixture coefficients,
// the density, the switches of other commands.
TEST(StateFileRead, ChangesOnlyTheValuesOfTheFile) {
  TempHome home(false);
  fs::create_directories(home.path() / "PROT");
  home.write("PROT/TEST    .TXT", KNOWN_FILE);
  const std::string dive = "c\nGF\n0.5\n0.5\nLAT\nON\nTE\n10.0\nD\n30.\n20.\n";
  const std::set<std::string> file_values = {"PAIR", "AMV",  "RQ",       "FO2",      "FHE",   "ASCRATE", "VO2",
                                             "CNS",  "OTU",  "KCNS",     "KPOT",     "PRT",   "BZFLAG",  "GFHI",
                                             "GFLO", "LASTSTOP", "DEEPSTOP", "DEPTH", "TIME", "MAXDEPTH", "DIVETIME",
                                             "tensions", "tolerances", "FN2"};
  const DiveState without = run_session(dive + "Q\n", home.path()).state;
  const DiveState with = run_session(dive + "F\nTEST\nR\nQ\n", home.path()).state;
  const std::set<std::string> changes = testing::changed(without, with);
  for (const std::string& name : changes) EXPECT_TRUE(file_values.count(name)) << name;
  EXPECT_TRUE(changes.count("tensions"));
  EXPECT_TRUE(changes.count("BZFLAG"));
  // The program end squares the sums again: the K values of the file do not
  // outlive the run.
  EXPECT_EQ(with.SQKCNS, without.SQKCNS);
  EXPECT_EQ(with.KCNS, without.KCNS);
}

TEST(StateFileRead, HeliumInTheFileGivesTheNitrogenRest) {
  TempHome home;
  std::string text = KNOWN_FILE;
  text.replace(text.find("O2: 0.209 He: .000"), 18, "O2: 0.151 He: .150");
  home.write("PROT/TEST    .TXT", text);
  DiveState st;
  st.FN2 = 0.75;
  run_f(st, home, {"TEST", "R"});
  EXPECT_EQ(st.FHE, 0.15);
  // (1 - 0.15) - 0.151 in binary128, rounded once: 0.6990000000000001, where
  // double arithmetic gives 0.699.
  EXPECT_EQ(st.FN2, 0x1.65e353f7ced92p-1);
}

TEST(StateFileRead, TakesTheLinesInOrderAndAnyCharacterAsTheSwitch) {
  TempHome home;
  std::vector<std::string> lines = split_lines(KNOWN_FILE);
  lines[3].replace(12, 1, "q");                         // BZFLAG
  lines[6].replace(7, 2, "16");                         // the compartment number is not used
  lines[21] = lines[21].substr(0, 20);                  // short line: blank fields read 0
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  home.write("PROT/TEST    .TXT", text);
  DiveState st;
  run_f(st, home, {"TEST", "R"});
  EXPECT_EQ(st.BZFLAG, "q");
  EXPECT_EQ(st.PN2[1], 2.875);
  EXPECT_EQ(st.PN2[16], 1.0);
  EXPECT_EQ(st.PHE[16], 0.0);
  EXPECT_EQ(st.PAMBTOL[16], 0.0);
}

// A dive saved after D, read back in a new program start after the file is
// all that is left, continues as the uninterrupted dive does.
TEST(StateFileRoundTrip, ANewProgramStartContinuesTheDive) {
  TempHome home;
  SessionResult saved = run_session("first\nM\n0.32\n0\nGF\n0.3\n0.8\nB\nD\n30.\n25.\nF\nDIVE1\nW\nQ\n", home.path());
  SessionResult restored = run_session("second\nF\nDIVE1\nR\nD\n21.\n10.\nQ\n", home.path());

  TempHome other;
  SessionResult uninterrupted = run_session("first\nM\n0.32\n0\nGF\n0.3\n0.8\nB\nD\n30.\n25.\nD\n21.\n10.\nQ\n", other.path());

  // The state right after the read is the saved one, rounded to its columns.
  TempHome probe;
  probe.write("PROT/DIVE1   .TXT", home.read("PROT/DIVE1   .TXT"));
  SessionResult read_only = run_session("c\nF\nDIVE1\nR\nQ\n", probe.path());
  const DiveState& s = saved.state;
  const DiveState& r = read_only.state;
  EXPECT_EQ(r.FO2, 0.32);
  EXPECT_EQ(r.FHE, 0.0);
  EXPECT_EQ(r.GFHI, 0.3);
  EXPECT_EQ(r.GFLO, 0.8);
  EXPECT_EQ(r.BZFLAG, "Y");
  // The oxygen of the nitrox comes with its own nitrogen, not the 0.7902 of
  // the new start.
  EXPECT_EQ(r.FN2, s.FN2);
  EXPECT_EQ(r.MAXDEPTH, 30.0);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    EXPECT_EQ(r.PN2[i], *parse_fixed(format_fixed(s.PN2[i], 7, 4), 7, 4)) << i;
    EXPECT_EQ(r.CEILM[i], *parse_fixed(format_fixed(s.CEILM[i], 5, 2), 5, 2)) << i;
  }
  // The program end sets DEPTH to 0; the file keeps the depth of the dive.
  EXPECT_NE(home.read("PROT/DIVE1   .TXT").find(" Tiefe:  30.00"), std::string::npos);

  // The next D prints what the uninterrupted dive prints.
  auto last_segment = [](const std::string& out) {
    size_t at = out.rfind("Eingabe der TAUCHTIEFE");
    return out.substr(at, out.rfind("  was jetzt?") - at);
  };
  EXPECT_EQ(last_segment(restored.output), last_segment(uninterrupted.output));
}

// The mixed coefficients are not in the file. A run that has mixed none yet
// mixes them from the restored tensions (RE and HM read them); one in which
// a command has mixed them keeps them, CLR or not.
TEST(StateFileRead, MixesTheRestoredTensionsOnlyInARunThatHasNotYet) {
  TempHome home;
  run_session("first\nD\n30.\n20.\nF\nRIFF\nW\nQ\n", home.path());
  struct Case {
    const char* before;  // typed in the reading run before F R
    bool mixes;
  } cases[] = {
      {"", true},
      {"CLR\n", true},
      {"D\n12.\n5.\n", false},
      {"D\n12.\n5.\nCLR\n", false},
      {"MX\n", false},
      {"N\n20.\n", false},
  };
  for (const Case& c : cases) {
    const std::string start = std::string("next\n") + c.before;
    const DiveState without = run_session(start + "Q\n", home.path()).state;
    const DiveState with = run_session(start + "F\nRIFF\nR\nQ\n", home.path()).state;
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      const MixedCoefficients restored = mixture_coefficients(with, i);
      EXPECT_EQ(with.AMIX[i], c.mixes ? restored.a : without.AMIX[i]) << c.before << i;
      EXPECT_EQ(with.BMIX[i], c.mixes ? restored.b : without.BMIX[i]) << c.before << i;
    }
    if (!c.mixes) {
      EXPECT_NE(with.AMIX[1], mixture_coefficients(with, 1).a) << c.before;
    }
  }
}

// A dive saved after D 30 m / 20 min and read back in a new run: RE gives
// the TQR figure of the run that saved it, and HM draws the same bars;
// without a read the heat map of a new run stays empty.
TEST(StateFileRoundTrip, RiskEstimatesAndHeatMapOfARestoredDive) {
  TempHome home;
  const std::string tqr = "  Meth. TQR I: OTF folded over EOD,          P(DCS) =  0.16069\n";
  SessionResult saved = run_session("first\nD\n30.\n20.\nRE\nF\nRIFF\nW\nQ\n", home.path());
  SessionResult restored = run_session("next\nF\nRIFF\nR\nRE\nQ\n", home.path());
  EXPECT_NE(saved.output.find(tqr), std::string::npos);
  EXPECT_NE(restored.output.find(tqr), std::string::npos);

  auto bars = [&](const std::string& typed) {
    RecordingCanvas canvas;
    run_session(typed + "HM\n\nQ\n", home.path(), &canvas);
    std::vector<GfxCall> fills = canvas.calls("fill");
    EXPECT_EQ(fills.size(), 16u) << typed;
    std::vector<std::pair<int, int>> rows;  // the top and bottom pixel row of each bar
    for (const GfxCall& f : fills) rows.push_back({std::min(f.a.y, f.b.y), std::max(f.a.y, f.b.y)});
    return rows;
  };
  const auto after_dive = bars("first\nD\n30.\n20.\n");
  const auto after_read = bars("next\nF\nRIFF\nR\n");
  const auto at_start = bars("next\n");
  EXPECT_EQ(after_read, after_dive);
  for (size_t i = 0; i < at_start.size(); ++i) {
    EXPECT_LT(after_read[i].first, after_read[i].second) << "compartment " << i + 1;
    EXPECT_EQ(at_start[i].first, at_start[i].second) << "compartment " << i + 1;
  }
}

// The lines where the two texts differ by more than one unit in the last
// printed digit of a number ("" when none). The file keeps the tensions with
// four decimals, so what E prints with four decimals may differ by that much
// after a read.
std::string differences_beyond_last_digit(const std::string& expected, const std::string& actual) {
  std::vector<std::string> e = split_lines(expected), a = split_lines(actual);
  if (e.size() != a.size()) return testing::line_diff(expected, actual);
  auto tokens = [](const std::string& line) {
    std::vector<std::string> out;
    std::string word;
    for (char ch : line + " ") {
      if (ch == ' ') {
        if (!word.empty()) out.push_back(word);
        word.clear();
      } else {
        word += ch;
      }
    }
    return out;
  };
  auto number = [](const std::string& w, double& v, int& decimals) {
    char* stop = nullptr;
    v = std::strtod(w.c_str(), &stop);
    if (w.empty() || *stop != '\0') return false;
    size_t point = w.find('.');
    decimals = point == std::string::npos ? 0 : static_cast<int>(w.size() - point - 1);
    return true;
  };
  std::string report;
  for (size_t i = 0; i < e.size(); ++i) {
    std::vector<std::string> te = tokens(e[i]), ta = tokens(a[i]);
    bool same = te.size() == ta.size();
    for (size_t k = 0; same && k < te.size(); ++k) {
      double ve, va;
      int de, da;
      if (number(te[k], ve, de) && number(ta[k], va, da) && de == da)
        same = std::fabs(ve - va) <= 1.0001 * std::pow(10.0, -de);
      else
        same = te[k] == ta[k];
    }
    if (!same) report += "line " + std::to_string(i + 1) + ":\n  expected: " + e[i] + "\n  actual:   " + a[i] + "\n";
  }
  return report;
}

// The same for ascents and stop pauses, with air and with trimix: what the
// restored dive prints from the read on is what the uninterrupted one prints.
TEST(StateFileRoundTrip, ANewProgramStartContinuesTheAscent) {
  struct Case {
    const char* before;  // the dive up to the save
    const char* after;   // what follows, saved and read back or not
  } cases[] = {
      {"M\n0.32\n0\nD\n45.\n30.\nA\n12.\n", "E\n9.\n3\nA\n9.\nE\n6.\n6\nA\n6.\nE\n3.\n12\nA\n3.\nE\n0.\n25\nA\n0.\n"},
      {"M\n0.18\n0.45\nD\n60.\n20.\nA\n21.\n", "E\n18.\n2\nA\n15.\nD\n15.\n4.\nA\n6.\n"},
      {"M\n0.32\n0\nD\n30.\n25.\n", "A\n6.\nE\n3.\n5\nA\n0.\n"},
  };
  // Nitrox as M sets it. The start gas would come back with its helium
  // fraction 0.000005 turned into 0 (and A prints helium lines only while
  // there is helium); air typed as 0.21 would keep the 0.7902 of the new
  // start, which the file cannot tell from its 0.79.
  const std::string end = "  was jetzt? See you later alligator";
  const std::string read_question = "  WRITE = W, READ = R ?";
  for (const Case& c : cases) {
    TempHome home;
    run_session(std::string("first\n") + c.before + "F\nDIVE\nW\nQ\n", home.path());
    SessionResult restored = run_session(std::string("second\nF\nDIVE\nR\n") + c.after + "Q\n", home.path());

    TempHome other;
    SessionResult up_to_save = run_session(std::string("first\n") + c.before + "Q\n", other.path());
    SessionResult uninterrupted = run_session(std::string("first\n") + c.before + c.after + "Q\n", other.path());

    std::string continued = restored.output.substr(restored.output.rfind(read_question) + read_question.size());
    std::string expected = uninterrupted.output.substr(up_to_save.output.rfind(end));
    EXPECT_EQ(differences_beyond_last_digit(expected, continued), "") << c.before;
  }
}

struct BadFile {
  const char* what;
  std::string text;
  const char* message;
};

std::string with_line(size_t index, size_t column, const std::string& replacement) {
  std::vector<std::string> lines = split_lines(KNOWN_FILE);
  lines[index].replace(column - 1, replacement.size(), replacement);
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

std::string first_lines(size_t n) {
  std::vector<std::string> lines = split_lines(KNOWN_FILE);
  std::string text;
  for (size_t i = 0; i < n; ++i) text += lines[i] + "\n";
  return text;
}

// A bad file leaves the dive in memory as it was and names what is wrong.
TEST(StateFileRead, ABadFileChangesNothing) {
  const BadFile cases[] = {
      {"letter", with_line(2, 38, "    15x."),
       "  Datei BAD     .TXT: Zeile  3, KCNS (Spalten 38-45) keine Zahl - nichts geladen!"},
      {"asterisks", with_line(2, 69, "*****"),
       "  Datei BAD     .TXT: Zeile  3, PRT (Spalten 69-73) keine Zahl - nichts geladen!"},
      {"last compartment", with_line(21, 71, " 1.0x0"),
       "  Datei BAD     .TXT: Zeile 22, PAMBTOL(16) (Spalten 71-76) keine Zahl - nichts geladen!"},
      {"compartment number", with_line(12, 8, "x6"),
       "  Datei BAD     .TXT: Zeile 13, Nr. (Spalten  8- 9) keine Zahl - nichts geladen!"},
      {"short file", first_lines(14), "  Datei BAD     .TXT: Zeile 15 fehlt - nichts geladen!"},
      {"one line", first_lines(1), "  Datei BAD     .TXT: Zeile  2 fehlt - nichts geladen!"},
      // Values a later command cannot compute with (StateFileRefusals shows
      // each computation fail).
      {"air pressure 0", with_line(1, 13, "0.000"),
       "  Datei BAD     .TXT: Zeile  2, PAIR (Spalten 13-17) unzulaessig - nichts geladen!"},
      {"blank air pressure, read as 0", with_line(1, 13, "     "),
       "  Datei BAD     .TXT: Zeile  2, PAIR (Spalten 13-17) unzulaessig - nichts geladen!"},
      {"air pressure below 0", with_line(1, 13, "-.001"),
       "  Datei BAD     .TXT: Zeile  2, PAIR (Spalten 13-17) unzulaessig - nichts geladen!"},
      {"quotient 0", with_line(1, 33, "0.000"),
       "  Datei BAD     .TXT: Zeile  2, RQ (Spalten 33-37) unzulaessig - nichts geladen!"},
      {"no oxygen", with_line(1, 43, "0.000"),
       "  Datei BAD     .TXT: Zeile  2, FO2 (Spalten 43-47) unzulaessig - nichts geladen!"},
      {"oxygen below 0", with_line(1, 43, "-.100"),
       "  Datei BAD     .TXT: Zeile  2, FO2 (Spalten 43-47) unzulaessig - nichts geladen!"},
      {"helium below 0", with_line(1, 53, "-.01"),
       "  Datei BAD     .TXT: Zeile  2, FHE (Spalten 53-56) unzulaessig - nichts geladen!"},
      {"ascent rate 0", with_line(1, 64, "  0.00"),
       "  Datei BAD     .TXT: Zeile  2, ASCRATE (Spalten 64-69) unzulaessig - nichts geladen!"},
      {"ascent rate below 0", with_line(1, 64, " -9.00"),
       "  Datei BAD     .TXT: Zeile  2, ASCRATE (Spalten 64-69) unzulaessig - nichts geladen!"},
      {"GF Hi below 0", with_line(3, 21, " -0.01"),
       "  Datei BAD     .TXT: Zeile  4, GFHI (Spalten 21-26) unzulaessig - nichts geladen!"},
      {"GF Lo below 0", with_line(3, 34, "-15.00"),
       "  Datei BAD     .TXT: Zeile  4, GFLO (Spalten 34-39) unzulaessig - nichts geladen!"},
      {"depth above the surface", with_line(4, 9, " -0.01"),
       "  Datei BAD     .TXT: Zeile  5, DEPTH (Spalten  9-14) unzulaessig - nichts geladen!"},
      {"segment time below 0", with_line(4, 25, "    -0.1"),
       "  Datei BAD     .TXT: Zeile  5, TIME (Spalten 25-32) unzulaessig - nichts geladen!"},
      {"maximum depth above the surface", with_line(4, 46, " -0.01"),
       "  Datei BAD     .TXT: Zeile  5, MAXDEPTH (Spalten 46-51) unzulaessig - nichts geladen!"},
      {"tensions of opposite signs", with_line(6, 10, " 0.4245 P N2-0.5050"),
       "  Datei BAD     .TXT: Zeile  7, PHE(1) (Spalten 22-28) unzulaessig - nichts geladen!"},
      {"tensions of opposite signs, nitrogen below 0", with_line(21, 10, "-0.0001"),
       "  Datei BAD     .TXT: Zeile 22, PHE(16) (Spalten 22-28) unzulaessig - nichts geladen!"},
  };
  for (const BadFile& c : cases) {
    TempHome home;
    home.write("PROT/BAD     .TXT", c.text);
    const std::string dive = "c\nM\n0.32\n0.1\nD\n12.\n30.\n";
    SessionResult without = run_session(dive + "Q\n", home.path());
    SessionResult with = run_session(dive + "F\nBAD\nR\nQ\n", home.path());
    EXPECT_EQ(read_values(with.state), read_values(without.state)) << c.what;
    EXPECT_EQ(with.state.BZFLAG, without.state.BZFLAG) << c.what;
    std::vector<std::string> out = split_lines(with.output);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[out.size() - 4], "  WRITE = W, READ = R ?") << c.what;
    EXPECT_EQ(out[out.size() - 3], c.message) << c.what;
    EXPECT_EQ(home.read("PROT/BAD     .TXT"), c.text) << c.what;
  }
}

// Every other value is stored as read, also far outside what the settings
// questions accept: none makes a later command divide by zero, take a
// logarithm or a root of a value that is not positive, or breathe a negative
// gas fraction. One field per case, the rest as in KNOWN_FILE.
TEST(StateFileRead, StoresWhatNoQuestionWouldTakeAsRead) {
  struct Case {
    const char* what;
    size_t line, column;
    const char* text;
    double (*value)(const DiveState&);
    double expected;
  } cases[] = {
      {"air pressure 0.1", 1, 13, "0.100", [](const DiveState& s) { return s.PAIR; }, 0.1},
      {"air pressure 0.001", 1, 13, "0.001", [](const DiveState& s) { return s.PAIR; }, 0.001},
      {"air pressure 99.999", 1, 13, "99999", [](const DiveState& s) { return s.PAIR; }, 99.999},
      {"minute volume 0.1", 1, 24, " 0.1", [](const DiveState& s) { return s.AMV; }, 0.1},
      {"minute volume below 0", 1, 24, "-9.9", [](const DiveState& s) { return s.AMV; }, -9.9},
      {"quotient 0.001", 1, 33, "0.001", [](const DiveState& s) { return s.RQ; }, 0.001},
      {"quotient below 0", 1, 33, "-1.00", [](const DiveState& s) { return s.RQ; }, -1.0},
      {"quotient 99.999", 1, 33, "99999", [](const DiveState& s) { return s.RQ; }, 99.999},
      {"ascent rate 0.01", 1, 64, "  0.01", [](const DiveState& s) { return s.ASCRATE; }, 0.01},
      {"ascent rate 999.99", 1, 64, "999.99", [](const DiveState& s) { return s.ASCRATE; }, 999.99},
      {"oxygen consumption 9.99", 1, 76, "9.99", [](const DiveState& s) { return s.VO2; }, 9.99},
      {"oxygen consumption below 0", 1, 76, "-.99", [](const DiveState& s) { return s.VO2; }, -0.99},
      {"CNS below 0", 2, 7, "-9999.9", [](const DiveState& s) { return s.CNS; }, -9999.9},
      {"OTU below 0", 2, 20, "-9999.9", [](const DiveState& s) { return s.OTU; }, -9999.9},
      {"CNS K value below 0", 2, 38, "-999999.", [](const DiveState& s) { return s.KCNS; }, -999999.0},
      {"pulmonary K value below 0", 2, 55, "-99999.", [](const DiveState& s) { return s.KPOT; }, -99999.0},
      {"PRT below 0", 2, 69, "-99.9", [](const DiveState& s) { return s.PRT; }, -99.9},
      {"GF Hi 0", 3, 21, "  0.00", [](const DiveState& s) { return s.GFHI; }, 0.0},
      {"GF Hi 999.99", 3, 21, "999.99", [](const DiveState& s) { return s.GFHI; }, 999.99},
      {"GF Lo 0", 3, 34, "  0.00", [](const DiveState& s) { return s.GFLO; }, 0.0},
      {"GF Lo 1.6", 3, 34, "  1.60", [](const DiveState& s) { return s.GFLO; }, 1.6},
      {"last stop 9.5 m", 3, 52, " 9.5", [](const DiveState& s) { return s.LASTSTOP; }, 9.5},
      {"last stop 1 m", 3, 52, " 1.0", [](const DiveState& s) { return s.LASTSTOP; }, 1.0},
      {"last stop below 0", 3, 52, "-9.9", [](const DiveState& s) { return s.LASTSTOP; }, -9.9},
      {"first stop 0", 3, 72, " 0.0", [](const DiveState& s) { return s.DEEPSTOP; }, 0.0},
      {"first stop below 0", 3, 72, "-9.9", [](const DiveState& s) { return s.DEEPSTOP; }, -9.9},
      {"depth 999.99", 4, 9, "999.99", [](const DiveState& s) { return s.DEPTH; }, 999.99},
      {"dive time below 0", 4, 69, "-99999.9", [](const DiveState& s) { return s.DIVETIME; }, -99999.9},
      {"dive time shorter than the segment", 4, 69, "     1.0", [](const DiveState& s) { return s.DIVETIME; }, 1.0},
      {"tensions both below 0", 6, 10, "-0.5000 P N2-0.1000", [](const DiveState& s) { return s.PN2[1]; }, -0.5},
      {"no nitrogen tension", 7, 10, " 0.0000", [](const DiveState& s) { return s.PN2[2]; }, 0.0},
      {"no helium tension", 8, 22, " 0.0000", [](const DiveState& s) { return s.PHE[3]; }, 0.0},
      {"no tension of either gas", 9, 10, " 0.0000 P N2 0.0000",
       [](const DiveState& s) { return s.PN2[4] + s.PHE[4]; }, 0.0},
      {"sum below 0", 9, 41, "-9.9999", [](const DiveState& s) { return s.PSUM[4]; }, -9.9999},
      {"ceiling below 0", 10, 58, "-9.99", [](const DiveState& s) { return s.CEILM[5]; }, -9.99},
      {"tolerated pressure below 0", 11, 71, "-9.999", [](const DiveState& s) { return s.PAMBTOL[6]; }, -9.999},
  };
  for (const Case& c : cases) {
    TempHome home;
    home.write("PROT/ODD     .TXT", with_line(c.line, c.column, c.text));
    DiveState st;
    std::string shown = run_f(st, home, {"ODD", "R"});
    EXPECT_EQ(shown, "  Filename = ? ODD              3\n  WRITE = W, READ = R ?") << c.what;
    EXPECT_EQ(c.value(st), c.expected) << c.what;
  }
}

// R computes the nitrogen fraction from the oxygen and helium of the file
// when there is helium or when the one in memory does not fit them, but only
// where they leave room for it as the gas question does; otherwise the one in
// memory stays, and no fraction that W writes is refused.
TEST(StateFileRead, ComputesTheNitrogenFractionOnlyWhereTheFileLeavesRoomForIt) {
  struct Case {
    const char* FO2;  // the fields, as in the file
    const char* FHE;
    double FN2_before;
    double FN2_after;
  } cases[] = {
      {"1.000", ".000", 0.0, 0.0},
      // Oxygen alone a little above 1 where the nitrogen in memory fits it.
      {"1.001", ".000", 0.0, 0.0},
      // No room for nitrogen: the one in memory stays, whether it fits or not.
      {"1.001", ".000", 0.7902, 0.7902},
      {"1.000", ".001", 0.0, 0.0},
      {"0.900", ".150", 0.7902, 0.7902},
      // BP after trimix 12/88: oxygen 0.2 beside the helium kept.
      {"0.200", ".880", 0.8, 0.8},
      // (1 - 0.9) - 0.1 in binary128 comes out 2.8e-17 below 0: the nitrogen
      // the gas question leaves for the same answers.
      {"0.100", ".900", 0.7902, testing::state_after("M\n0.1\n0.9\n").FN2},
      {"0.180", ".450", 0.7902, testing::state_after("M\n0.18\n0.45\n").FN2},
      {"0.220", ".000", 0.7902, testing::state_after("M\n0.22\n0\n").FN2},
  };
  for (const Case& c : cases) {
    TempHome home;
    home.write("PROT/GAS     .TXT", with_line(1, 43, std::string(c.FO2) + " He: " + c.FHE));
    DiveState st;
    st.FN2 = c.FN2_before;
    std::string shown = run_f(st, home, {"GAS", "R"});
    const std::string what = std::string(c.FO2) + " " + c.FHE;
    EXPECT_EQ(shown.find("Datei"), std::string::npos) << what;
    EXPECT_EQ(st.FN2, c.FN2_after) << what;
  }
}

// What each refusal of R protects: the computation, fed with a value of the
// refused kind in a state as the program leaves it, gives no finite number.
// (A negative oxygen, helium or nitrogen fraction is itself the fault.)
TEST(StateFileRefusals, EachKeepsAComputationFromFailing) {
  using testing::StartedState;
  // The oxygen step of a 10-minute segment with a change to the start state.
  auto oxygen_step = [](void (*change)(DiveState&), char letter) {
    StartedState s;
    s.st.TIME = 10.0;
    change(s.st);
    oxygen_exposure_step(s.st, s.p, letter);
    return s.st;
  };
  // A from 30 m to 12 m at the given rate.
  auto ascent = [](double ASCRATE) {
    StartedState s({"12."});
    s.st.DEPTH = s.st.MAXDEPTH = 30.0;
    s.st.ASCRATE = ASCRATE;
    ascent_to_stage(s.st, s.p);
    return s.st;
  };
  // ZH-L 16C, compartment 1.
  const DiveState start = StartedState{}.st;
  auto mix = [&](double PN2, double PHE) {
    return mixture_coefficients(PN2, PHE, start.AN2[1], start.AHE[1], start.BN2[1], start.BHE[1], start.KN2[1],
                                start.KHE[1]);
  };
  struct Case {
    const char* refusal;
    std::function<double()> computed;
  } cases[] = {
      {"PAIR 0: RE divides by the air pressure",
       [] {
         DiveState st = testing::state_after("D\n30.\n20.\n");
         st.PAIR = 0.0;
         return risk_estimates(st).EOD[0];
       }},
      {"PAIR below 0: the oxygen step of D at 0 m",
       [&] { return oxygen_step([](DiveState& st) { st.PAIR = -1.0; }, 'D').KCNS; }},
      {"RQ 0: the inspired pressure", [] { return inspired_inert_pressure(3.95, 0.0, 0.79); }},
      {"FO2 0: the maximum operating depth of T",
       [] { return to_double(maximum_operating_depth(1.6Q, 0.0)); }},
      {"FO2 below 0: the oxygen step at 30 m",
       [&] { return oxygen_step([](DiveState& st) { st.DEPTH = 30.0, st.FO2 = -0.1; }, 'D').KCNS; }},
      {"ASCRATE 0: the ascent time of A", [&] { return ascent(0.0).TIME; }},
      {"ASCRATE below 0: PRT of A's oxygen step", [&] { return ascent(-9.0).PRT; }},
      {"GF below 0: the tolerated pressure (and the first-stop ceiling) with the b of MT92",
       [] { return tolerated_pressure(2.0, 0.42667, 0.9375, -15.0); }},
      {"DEPTH below 0: the oxygen step of E",
       [&] { return oxygen_step([](DiveState& st) { st.DEPTH = -10.4; }, 'E').KCNS; }},
      {"TIME below 0: DS",
       [] {
         DiveState st = StartedState{}.st;
         st.PRT = 20.0, st.MAXDEPTH = 30.0, st.TIME = -1.0;
         std::string shown = testing::console_of(dciem_stress_indices, st, {"0"});
         return shown.find("NaN") != std::string::npos ? std::nan("") : 0.0;
       }},
      {"MAXDEPTH below 0: the DCIEM index over the ascent time",
       [] {
         DiveState st = StartedState{}.st;
         st.MAXDEPTH = -9.0;
         return dciem_rows(20.0, total_ascent_time(st, 0.0))[1].I[0];
       }},
      {"MAXDEPTH below 0: the RGBM factors", [] { return rgbm_matrix(-10.0, 1).cell[0][0]; }},
      {"tensions of opposite signs: the M-value of their mixture",
       [&] {
         MixedCoefficients m = mix(0.4245, -0.505);
         return m_value(1.013, m.a, m.b);
       }},
  };
  for (const Case& c : cases) EXPECT_FALSE(std::isfinite(c.computed())) << c.refusal;
}

// An empty file and a missing one (which the read creates empty) send the
// user back to the name question.
TEST(StateFileRead, AnEmptyOrMissingFileAsksForTheNameAgain) {
  TempHome home;
  home.write("PROT/EMPTY   .TXT", "");
  DiveState st = known_state();
  const std::vector<double> before = read_values(st);
  std::string shown = run_f(st, home, {"EMPTY", "R", "NEW", "R", "X", "Q"});
  EXPECT_EQ(read_values(st), before);
  EXPECT_TRUE(fs::exists(home.prot("NEW     .TXT")));
  EXPECT_EQ(home.read("PROT/NEW     .TXT"), "");
  EXPECT_EQ(shown,
            "  Filename = ? EMPTY            5\n  WRITE = W, READ = R ?"
            "  Filename = ? NEW              3\n  WRITE = W, READ = R ?"
            "  Filename = ? X                1\n  WRITE = W, READ = R ?");
}

struct NameCase {
  const char* typed;
  const char* file;  // in PROT
  const char* echo;
};

TEST(StateFileNames, TheNameFieldDecidesTheFile) {
  const NameCase cases[] = {
      {"TEST", "TEST    .TXT", " TEST             4"},
      {"ABCDEFGHIJ", "CDEFGHIJ.TXT", " CDEFGHIJ        10"},
      {"", "        .TXT", "                  0"},
      {" lead", " lead   .TXT", "  lead            5"},
  };
  for (const NameCase& c : cases) {
    TempHome home;
    DiveState st = known_state();
    std::string shown = run_f(st, home, {c.typed, "w"});
    EXPECT_EQ(home.read(std::string("PROT/") + c.file), KNOWN_FILE) << c.typed;
    EXPECT_EQ(split_lines(shown)[0], std::string("  Filename = ?") + c.echo) << c.typed;
  }
}

// A name that would leave the PROT folder is treated like one that cannot be
// opened: back to the name question, nothing written or read outside.
TEST(StateFileNames, ANameWithAPathIsAskedAgain) {
  for (const char* typed : {"../OUT", "a/b", "..\\OUT", "..", "x\\y"}) {
    TempHome home;
    home.write("OUT     .TXT", KNOWN_FILE);
    DiveState st = known_state();
    st.FN2 = 0.75;
    const std::vector<double> before = read_values(st);
    run_f(st, home, {typed, "R", typed, "W", "SAFE", "W"});
    EXPECT_EQ(read_values(st), before) << typed;
    EXPECT_EQ(home.read("OUT     .TXT"), KNOWN_FILE) << typed;
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(home.path())) files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"OUT     .TXT", "PROT", "SAFE    .TXT"})) << typed;
  }
}

// A write that fails leaves the old file as it was, and no temporary file
// beside it, says why and asks for the name again.
TEST(StateFileWrite, AFailedWriteKeepsTheOldFile) {
  TempHome home;
  home.write("PROT/KEEP    .TXT", KNOWN_FILE);
  DiveState st = known_state();
  st.DEPTH = 12.0;
  std::string shown;
  {
    // The new file cannot grow beyond 100 bytes.
    testing::FileSizeLimit limit(100);
    shown = run_f(st, home, {"KEEP", "W", "KEEP", "n"});
  }
  EXPECT_EQ(home.read("PROT/KEEP    .TXT"), KNOWN_FILE);
  EXPECT_EQ(prot_files(home), (std::vector<std::string>{"KEEP    .TXT"}));
  EXPECT_EQ(shown,
            "  Filename = ? KEEP             4\n  WRITE = W, READ = R ?\n"
            "  Datei KEEP    .TXT: File too large - nichts gespeichert!\n"
            "  Filename = ? KEEP             4\n  WRITE = W, READ = R ?");
}

// W writes only a file that R reads back as it was meant: a value too wide
// for its field, or stored as one R refuses, stops the write, keeps the
// older file and names the field. The command then ends.
TEST(StateFileWrite, WritesOnlyWhatReadsBack) {
  struct Case {
    const char* what;
    void (*change)(DiveState&);
    const char* message;
  } cases[] = {
      {"an ascent rate saved as 0.00", [](DiveState& st) { st.ASCRATE = 0.004; },
       "  Datei KEEP    .TXT: Zeile  2, ASCRATE (Spalten 64-69) unzulaessig - nichts gespeichert!"},
      {"an oxygen fraction saved as 0.000", [](DiveState& st) { st.FO2 = 0.0004; },
       "  Datei KEEP    .TXT: Zeile  2, FO2 (Spalten 43-47) unzulaessig - nichts gespeichert!"},
      {"a K value too wide", [](DiveState& st) { st.KCNS = 123456789.0; },
       "  Datei KEEP    .TXT: Zeile  3, KCNS (Spalten 38-45) zu breit - nichts gespeichert!"},
      {"a tension too wide", [](DiveState& st) { st.PN2[16] = 1000.0; },
       "  Datei KEEP    .TXT: Zeile 22, PN2(16) (Spalten 10-16) zu breit - nichts gespeichert!"},
      {"no number", [](DiveState& st) { st.PRT = std::nan(""); },
       "  Datei KEEP    .TXT: Zeile  3, PRT (Spalten 69-73) keine Zahl - nichts gespeichert!"},
  };
  for (const Case& c : cases) {
    TempHome home;
    home.write("PROT/KEEP    .TXT", "an older state\n");
    DiveState st = known_state();
    c.change(st);
    std::string shown = run_f(st, home, {"KEEP", "W"});
    EXPECT_EQ(home.read("PROT/KEEP    .TXT"), "an older state\n") << c.what;
    EXPECT_EQ(prot_files(home), std::vector<std::string>{"KEEP    .TXT"}) << c.what;
    EXPECT_EQ(shown, "  Filename = ? KEEP             4\n  WRITE = W, READ = R ?\n" + std::string(c.message) + "\n")
        << c.what;
  }
}

// Values that R stores as read are written, also those no question would
// take, and those their field rounds beyond a question's bounds.
TEST(StateFileWrite, WritesWhatReadsBackOutsideTheQuestionsBounds) {
  struct Case {
    const char* what;
    void (*change)(DiveState&);
    size_t line, column;
    const char* written;
  } cases[] = {
      {"a quotient saved as 0.300", [](DiveState& st) { st.RQ = 0.3001; }, 1, 33, "0.300"},
      {"a GF Lo saved as 0.00", [](DiveState& st) { st.GFLO = 0.004; }, 3, 34, "  0.00"},
      {"a last stop saved as 1.0", [](DiveState& st) { st.LASTSTOP = 1.04; }, 3, 52, " 1.0"},
      {"an air pressure of 0.1", [](DiveState& st) { st.PAIR = 0.1; }, 1, 13, "0.100"},
      {"a minute volume of 0.1", [](DiveState& st) { st.AMV = 0.1; }, 1, 24, " 0.1"},
      // After a long stay on oxygen.
      {"tensions saved as 0", [](DiveState& st) { st.PN2[7] = 0.00004, st.PHE[7] = 0.00003; }, 12, 10,
       " 0.0000 P N2 0.0000"},
  };
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = known_state();
    c.change(st);
    std::string shown = run_f(st, home, {"KEEP", "W"});
    EXPECT_EQ(shown, "  Filename = ? KEEP             4\n  WRITE = W, READ = R ?") << c.what;
    EXPECT_EQ(home.read("PROT/KEEP    .TXT"), with_line(c.line, c.column, c.written)) << c.what;
  }
}

// A day at 60 m: the CNS K value no longer fits its field.
TEST(StateFileWrite, ADiveTooLongForTheFileIsNotSavedInSilence) {
  TempHome home;
  SessionResult r = run_session("c\nD\n60.\n1440.\nF\nLONG\nW\nq\n", home.path());
  EXPECT_NE(r.output.find("  Datei LONG    .TXT: Zeile  3, KCNS (Spalten 38-45) zu breit - nichts gespeichert!\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(home.prot("LONG    .TXT")));
}

// The protocol and the coefficient files are the program's own: no state
// file replaces or is read from them, whatever the case of the name. What
// counts is the file the name field gives (its last 8 characters).
TEST(StateFileNames, TheProgramsOwnFilesAreNoStateFiles) {
  struct Case {
    const char* typed;
    const char* answer;
    const char* message;  // "" when the name is taken
  } cases[] = {
      {"PROTOCOL", "W", "  Datei PROTOCOL.TXT gehoert dem Programm - anderer Name!"},
      {"protocol", "w", "  Datei protocol.TXT gehoert dem Programm - anderer Name!"},
      {"MYPROTOCOL", "W", "  Datei PROTOCOL.TXT gehoert dem Programm - anderer Name!"},
      {"PROTOCOL", "R", "  Datei PROTOCOL.TXT gehoert dem Programm - anderer Name!"},
      // Blanks of the name field stand before ".TXT": another file.
      {"N2COEFF", "W", ""},
      {"F10", "W", ""},
  };
  for (const Case& c : cases) {
    TempHome home;
    const std::string own = "lines of earlier runs\n";
    for (const char* file : {"PROTOCOL.TXT", "N2COEFF.TXT", "F10.TXT"}) home.write(std::string("PROT/") + file, own);
    DiveState st = known_state();
    std::vector<std::string> typed = {c.typed, c.answer};
    if (*c.message) typed.insert(typed.end(), {"SAFE", "n"});
    std::string shown = run_f(st, home, typed);
    for (const char* file : {"PROTOCOL.TXT", "N2COEFF.TXT", "F10.TXT"})
      EXPECT_EQ(home.read(std::string("PROT/") + file), own) << c.typed << " " << file;
    std::vector<std::string> lines = split_lines(shown);
    if (*c.message) {
      ASSERT_EQ(lines.size(), 5u) << c.typed;
      EXPECT_EQ(lines[2], c.message) << c.typed;
      EXPECT_EQ(lines[3], "  Filename = ? SAFE             4") << c.typed;
      EXPECT_EQ(prot_files(home).size(), 3u) << c.typed;
    } else {
      EXPECT_EQ(lines.size(), 2u) << c.typed;
      EXPECT_EQ(prot_files(home).size(), 4u) << c.typed;
    }
  }
}

// Typed names are UTF-8: keeping the last 8 bytes of a longer name never
// starts the file name with half a character; a name with control
// characters is refused with its line, and the name is asked again.
TEST(StateFileNames, ANameIsWholeCharactersWithoutControls) {
  const std::string AE = "\xC3\x84";
  struct Case {
    const char* what;
    std::string typed;
    std::string file;     // in PROT; "" when refused
    std::string message;  // the line after the W/R question
  } cases[] = {
      {"umlauts, the last 8 bytes start inside one", AE + AE + AE + AE + AE + "x", " " + AE + AE + AE + "x.TXT", ""},
      {"umlauts that fit", AE + "hre", AE + "hre   .TXT", ""},
      {"an escape sequence", "\x1b[31mX", "", "  Dateiname mit Steuerzeichen - anderer Name!"},
      {"a tab", "A\tB", "", "  Dateiname mit Steuerzeichen - anderer Name!"},
      {"a delete character", "AB\x7f", "", "  Dateiname mit Steuerzeichen - anderer Name!"},
  };
  for (const Case& c : cases) {
    TempHome home;
    DiveState st = known_state();
    std::vector<std::string> typed = {c.typed, "W"};
    if (c.file.empty()) typed.insert(typed.end(), {"SAFE", "W"});
    std::vector<std::string> lines = split_lines(run_f(st, home, typed));
    if (c.file.empty()) {
      ASSERT_EQ(lines.size(), 5u) << c.what;
      EXPECT_EQ(lines[2], c.message) << c.what;
      EXPECT_EQ(lines[3], "  Filename = ? SAFE             4") << c.what;
      EXPECT_EQ(prot_files(home), std::vector<std::string>{"SAFE    .TXT"}) << c.what;
    } else {
      EXPECT_EQ(home.read("PROT/" + c.file), KNOWN_FILE) << c.what;
      EXPECT_EQ(prot_files(home).size(), 1u) << c.what;
    }
  }
}

// A state file made read-only is kept: F says why and asks for the name
// again. File modes bind only a user without rights.
TEST(StateFileWrite, AWriteProtectedFileIsKept) {
  TempHome home;
  home.write("PROT/SAVED   .TXT", KNOWN_FILE);
  fs::permissions(home.prot("SAVED   .TXT"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(home.path() / "PROT", fs::perms::all);
  std::string shown;
  int result = testing::run_unprivileged([&] {
    DiveState st = known_state();
    st.DEPTH = 40.0;
    FakePlatform p({"SAVED", "W", "SAVED", "n"}, home.path());
    state_file(st, p);
    return p.output() == "  Filename = ? SAVED            5\n  WRITE = W, READ = R ?\n"
                         "  Datei SAVED   .TXT: Permission denied - nichts gespeichert!\n"
                         "  Filename = ? SAVED            5\n  WRITE = W, READ = R ?"
               ? 0
               : 1;
  });
  if (result < 0) GTEST_SKIP() << "no unprivileged user to run as on this machine";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(home.read("PROT/SAVED   .TXT"), KNOWN_FILE);
  EXPECT_EQ(fs::status(home.prot("SAVED   .TXT")).permissions(),
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(prot_files(home), std::vector<std::string>{"SAVED   .TXT"});
}

// A pipe, a device or a link under the name of a state file: nothing is
// read from or written to it, and F does not wait.
TEST(StateFileNames, WhatIsNoRegularFileIsNeitherReadNorWritten) {
  TempHome home;
  home.write("OUTSIDE.TXT", "not to be touched\n");
  ASSERT_EQ(::mkfifo(home.prot("PIPE    .TXT").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", home.prot("ZERO    .TXT"));
  fs::create_symlink(home.path() / "OUTSIDE.TXT", home.prot("LINK    .TXT"));
  DiveState st = known_state();
  const std::vector<double> before = read_values(st);
  ::alarm(10);
  std::string shown = run_f(st, home, {"PIPE", "R", "ZERO", "R", "LINK", "W", "x", "n"});
  ::alarm(0);
  EXPECT_EQ(read_values(st), before);
  EXPECT_EQ(home.read("OUTSIDE.TXT"), "not to be touched\n");
  EXPECT_EQ(shown,
            "  Filename = ? PIPE             4\n  WRITE = W, READ = R ?\n"
            "  Datei PIPE    .TXT: keine gewoehnliche Datei - nichts geladen!\n"
            "  Filename = ? ZERO             4\n  WRITE = W, READ = R ?\n"
            "  Datei ZERO    .TXT: keine gewoehnliche Datei - nichts geladen!\n"
            "  Filename = ? LINK             4\n  WRITE = W, READ = R ?\n"
            "  Datei LINK    .TXT: keine gewoehnliche Datei - nichts gespeichert!\n"
            "  Filename = ? x                1\n  WRITE = W, READ = R ?");
}

TEST(StateFileWrite, NoProtFolderAsksForTheNameAgain) {
  TempHome home(false);
  DiveState st = known_state();
  std::string shown = run_f(st, home, {"TEST", "W", "TEST", "R", "", ""});
  EXPECT_FALSE(fs::exists(home.path() / "PROT"));
  EXPECT_EQ(shown,
            "  Filename = ? TEST             4\n  WRITE = W, READ = R ?"
            "  Filename = ? TEST             4\n  WRITE = W, READ = R ?"
            "  Filename = ?                  0\n  WRITE = W, READ = R ?");
}

}  // namespace
}  // namespace orva
