// The oxygen exposure step and the protocol file.
//
// Reference values: python3 with decimal, getcontext().prec = 50, each
// binary128 step of the step done in 50-digit decimal and rounded to double
// where the step rounds, each double step in Python float arithmetic in the
// same order (exp taken in decimal and rounded to double). The CNS bounds
// were checked with exact fractions rounded to 113 bits: the binary128 bound
// of the 1.60 atm row is exactly the double 1.6212.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/oxygen_exposure.hpp"
#include "platform/format.hpp"
#include "support/fake_platform.hpp"
#include "support/file_faults.hpp"
#include "support/session.hpp"

namespace orva {
namespace {

using testing::FakePlatform;
using testing::run_session;
using testing::split_lines;
using testing::TempHome;

TEST(NoaaCnsLimit, RowsAndBounds) {
  struct Row {
    double pO2;  // bar
    double limit;
  };
  const Row rows[] = {
      {0.5572874, 570},     // below 0.55 atm: the step charges nothing, the first row would apply
      {0.70928, 450},       // just above 0.70 atm
      {0.8275871448198574,  // 30 m on air
       360},
      {1.01325, 300},       // 1.00 atm: the bound is the double 1.01325 itself
      {1.6212, 45},         // the bound of the 1.60 atm row, exactly
      {1.6212101325, 40},   // 1.60001 atm
      {2.3302, 13.5},       // below B(2.30) = 2.330475: the 2.30 row
      {2.3305, 12},         // above it: the 2.40 row
      {2.533125, 5},        // just above 2.50 atm
      {2.5332, 5},          // between 2.50 and 2.5001 atm: also 5 minutes
      {3.0, 5},
  };
  for (const Row& r : rows) EXPECT_EQ(noaa_cns_limit(r.pO2), r.limit) << r.pO2;
}

// Every row at its bound and just past it: the largest double partial
// pressure that does not exceed the binary128 bound B(a), and the next double
// above it. Where B(a) is no double, the double nearest a x 1.01325 may lie
// past the bound (1.114575 for 1.10 atm). The bounds were computed with exact
// fractions rounded to 113 bits.
TEST(NoaaCnsLimit, EveryRowAtItsBoundAndJustPastIt) {
  struct Row {
    const char* atm;
    double at, past;  // bar
    double limit, next_limit;
  };
  const Row rows[] = {
      {"0.70", 0.709275, 0.7092750000000001, 570, 450},
      {"0.80", 0.8106, 0.8106000000000001, 450, 360},
      {"0.90", 0.911925, 0.9119250000000001, 360, 300},
      {"1.00", 1.01325, 1.0132500000000002, 300, 240},
      {"1.10", 1.1145749999999999, 1.114575, 240, 210},
      {"1.20", 1.2159, 1.2159000000000002, 210, 195},
      {"1.25", 1.2665624999999998, 1.2665625, 195, 180},
      {"1.30", 1.3172249999999999, 1.317225, 180, 165},
      {"1.35", 1.3678875, 1.3678875000000001, 165, 150},
      {"1.40", 1.41855, 1.4185500000000002, 150, 135},
      {"1.45", 1.4692124999999998, 1.4692125, 135, 120},
      {"1.50", 1.5198749999999999, 1.519875, 120, 83},
      {"1.55", 1.5705375, 1.5705375000000001, 83, 45},
      {"1.60", 1.6212, 1.6212000000000002, 45, 40},
      {"1.70", 1.7225249999999999, 1.722525, 40, 35},
      {"1.80", 1.82385, 1.8238500000000002, 35, 30},
      {"1.90", 1.9251749999999999, 1.925175, 30, 25},
      {"2.00", 2.0265, 2.0265000000000004, 25, 20},
      {"2.10", 2.1278249999999996, 2.127825, 20, 15},
      {"2.20", 2.2291499999999997, 2.22915, 15, 13.5},
      {"2.30", 2.330475, 2.3304750000000003, 13.5, 12},
      {"2.40", 2.4318, 2.4318000000000004, 12, 10},
      {"2.50", 2.5331249999999996, 2.533125, 10, 5},  // past the last row: 5 min
  };
  for (const Row& r : rows) {
    EXPECT_EQ(noaa_cns_limit(r.at), r.limit) << r.atm << " atm, at the bound";
    EXPECT_EQ(noaa_cns_limit(r.past), r.next_limit) << r.atm << " atm, just past";
  }
}

// The state right after program start, without a protocol folder.
struct Started {
  TempHome home{false};
  FakePlatform p{{}, home.path()};
  DiveState st;
  Started() {
    one_time_startup(st);
    reset_dive_state(st, p);
  }
  void segment(char letter, double depth, double time) {
    st.DEPTH = depth;
    if (depth > st.MAXDEPTH) st.MAXDEPTH = depth;
    st.TIME = time;
    st.DIVETIME += time;
    oxygen_exposure_step(st, p, letter);
  }
};

struct Sums {
  double OTU, CNS, SQKCNS, KCNS, SQKPOT, KPOT, ESOT, PRT;
};

void expect_sums(const DiveState& st, const Sums& s, const char* what) {
  EXPECT_EQ(st.OTU, s.OTU) << what;
  EXPECT_EQ(st.CNS, s.CNS) << what;
  EXPECT_EQ(st.SQKCNS, s.SQKCNS) << what;
  EXPECT_EQ(st.KCNS, s.KCNS) << what;
  EXPECT_EQ(st.SQKPOT, s.SQKPOT) << what;
  EXPECT_EQ(st.KPOT, s.KPOT) << what;
  EXPECT_EQ(st.ESOT, s.ESOT) << what;
  EXPECT_EQ(st.PRT, s.PRT) << what;
}

const Sums AFTER_30M_20MIN = {14.0801142320882,    5.555555555555555,   10.049864721759382,
                              100.99978092566379,  0.20990397968814153, 0.04405968068891973,
                              12.594238781288492,  17.666263609758133};

struct Segment {
  char letter;
  double depth, time;
};

TEST(OxygenExposureStep, SumsAfterAProfile) {
  const Segment dive = {'D', 30.0, 20.0};
  Sums zero_minutes_at_surface = AFTER_30M_20MIN;
  zero_minutes_at_surface.KPOT = 0.0034807147744246587;  // x 0.079, every other factor is 1
  zero_minutes_at_surface.SQKPOT = 0.05899758278459092;
  struct Row {
    const char* what;
    std::vector<Segment> profile;
    Sums want;
    double TSTART;
    double PO2MAX = 0.8275871448198574;
  };
  const Row rows[] = {
      // The sums keep their unrounded values (the record shows 14. and 6.).
      {"30 m 20 min", {dive}, AFTER_30M_20MIN, 0.0},
      // 90 min with a CNS half-time of 90 min: CNS halves.
      {"surface interval",
       {dive, {'D', 3.0, 5.0}, {'D', 0.0, 90.0}},
       {14.0801142320882, 2.7777777777777777, 0.3015557711835, 0.09093588313407543, 0.034020268001498835,
        0.0011573786348938056, 16.65101438777616, 30.198361774584303},
       0.0},
      // The pulmonary recovery factor 0.079 is the double widened: the binary128
      // nearest 0.079 gives KPOT 0.0011198431670391888.
      {"surface interval straight after the dive",
       {dive, {'D', 0.0, 90.0}},
       {14.0801142320882, 2.7777777777777777, 0.29988593494625276, 0.08993157397858813, 0.03346405783880952,
        0.001119843167039189, 16.378780688113387, 27.276425419009836},
       0.0},
      {"0 min at the surface", {dive, {'D', 0.0, 0.0}}, zero_minutes_at_surface, 0.0},
      // The CNS charge is one binary128 quotient: in double it is 0.027777777777777776.
      {"a tenth of a minute at 30 m",
       {{'D', 30.0, 0.1}},
       {0.070400571160441, 0.02777777777777778, 0.050249323608796914, 0.0025249945231415947,
        0.0010495198984407077, 1.1014920172229934e-06, 0.06297119390644247, 1.249193479668911},
       0.0},
      // No recovery after an ascent to the surface.
      {"ascent to the surface",
       {dive, {'A', 0.0, 30.0 / 9.0}},
       {14.0801142320882, 5.555555555555555, 10.066253254388403, 101.32945458148512, 0.21146492655579432,
        0.04471741516324749, 12.687895593347658, 19.515740112267245},
       20.0},
      {"record X", {dive, {'X', 0.0, 0.0}}, AFTER_30M_20MIN, 0.0},
      // Cases where a step done in double would land on another double:
      // OTU rate u at 15 m (double gives an OTU of 0.6886512592247849) ...
      {"15 m 10 min",
       {{'D', 15.0, 10.0}},
       {0.6886512592247847, 0.0, 1.0344416861285537, 1.0700696020004852, 0.03628049737362366,
        0.0013162744896775135, 2.1768298424174195, 7.847661033219839},
       0.0,
       0.5199053224099287},
      // ... the CNS K value term T x x^3.4 at 40 m for 3 min ...
      {"40 m 3 min",
       {{'D', 40.0, 3.0}},
       {3.1620042275590654, 1.25, 3.200434383082946, 10.242780240419515, 0.05222116697266269,
        0.002727050279986717, 3.1332700183597617, 8.537963477351356},
       0.0,
       1.03270835975981},
      // ... and the ESOT recovery over a 30 min surface interval.
      {"short surface interval",
       {dive, {'D', 0.0, 30.0}},
       {14.0801142320882, 4.409447366578332, 3.117804324307034, 9.720703804667643, 0.049022543768901174,
        0.002403209797573831, 13.799244232596953, 23.214693117285464},
       0.0},
  };
  for (const Row& r : rows) {
    Started s;
    for (const Segment& seg : r.profile) s.segment(seg.letter, seg.depth, seg.time);
    expect_sums(s.st, r.want, r.what);
    EXPECT_EQ(s.st.PO2MAX, r.PO2MAX) << r.what;
    EXPECT_EQ(s.st.TSTART, r.TSTART) << r.what;
  }
}

// CNS is charged from 0.55 atm on: pure oxygen at the surface, the air
// pressure set to the largest double at or below B(0.55) and to the next one,
// one minute charged at the first row's 570 minutes. An ascent (A) keeps the
// charge from the surface recovery.
TEST(OxygenExposureStep, CnsIsChargedFromTheBoundOf055AtmOn) {
  struct Row {
    double PAIR;  // bar, the oxygen partial pressure
    double CNS;
  };
  const Row rows[] = {{0.5572874999999999, 0.0}, {0.5572875, 100.0 / 570.0}};
  for (const Row& r : rows) {
    Started s;
    s.st.FO2 = 1.0;
    s.st.FN2 = 0.0;
    s.st.FHE = 0.0;
    s.st.PAIR = r.PAIR;
    s.segment('A', 0.0, 1.0);
    EXPECT_EQ(s.st.CNS, r.CNS) << r.PAIR;
  }
}

// The last record of the protocol file.
std::string last_record(const TempHome& home) {
  std::vector<std::string> lines = split_lines(home.read("PROT/PROTOCOL.TXT"));
  return lines.empty() ? "" : lines.back();
}

TEST(OxygenExposureStep, RecordRoundsOtuHalvesAway) {
  struct Row {
    double OTU;
    const char* shown;
  };
  const Row rows[] = {{2.5, "    3."}, {2.4999, "    2."}, {3.5, "    4."}};
  for (const Row& r : rows) {
    TempHome home;
    FakePlatform p{{""}, home.path()};
    DiveState st;
    one_time_startup(st);
    reset_dive_state(st, p);
    st.OTU = r.OTU;
    oxygen_exposure_step(st, p, 'D');  // 0 min at the surface: no OTU charged
    std::string rec = last_record(home);
    ASSERT_EQ(rec.size(), 83u);
    EXPECT_EQ(rec.substr(49, 7), " " + std::string(r.shown)) << r.OTU;
    EXPECT_EQ(st.OTU, r.OTU);
  }
}

TEST(ProtocolFile, RecordIsOnDiskAsSoonAsWritten) {
  TempHome home;
  FakePlatform p{{"Kommentar"}, home.path()};
  DiveState st;
  one_time_startup(st);
  reset_dive_state(st, p);
  st.DEPTH = st.MAXDEPTH = 30.0;
  st.TIME = st.DIVETIME = 20.0;
  oxygen_exposure_step(st, p, 'D');
  // Still open: what a killed program leaves behind.
  ASSERT_TRUE(st.file->is_open());
  EXPECT_EQ(last_record(home),
            " D   30.0     20.0     20.0  0.79 0.21 0.00    6.    14.     101.      0.    1975.1");
}

const char* HEADER_DATE = "  Yr: 2026 Mon: 12 D: 10 Hr: 10 Min: 05  Version: 3_10     , 09/2023 ";
const char* HEADER_TITLES =
    "    TIEFE   ZEIT   GES.ZEIT  N    O    HE    CNS   OTU    K CNS     K POT     GAS";
const char* RECORD_X = " X    0.0      0.0      0.0  0.79 0.21 0.00    0.     0.       0.      0.       0.0";

TEST(ProtocolFile, SecondStartAppendsBehindTheFirst) {
  TempHome home;
  home.write("PROT/PROTOCOL.TXT", "alte Zeile\n");
  run_session("Erster\nCLR\nq\n", home.path());
  run_session("Zweiter\nq\n", home.path());
  std::vector<std::string> want = {"alte Zeile",
                                   HEADER_DATE,
                                   "Erster" + std::string(64, ' '),
                                   HEADER_TITLES,
                                   RECORD_X,  // start
                                   RECORD_X,  // CLR: a record, no header
                                   RECORD_X,  // end
                                   HEADER_DATE,
                                   "Zweiter" + std::string(63, ' '),
                                   HEADER_TITLES,
                                   RECORD_X,
                                   RECORD_X};
  EXPECT_EQ(split_lines(home.read("PROT/PROTOCOL.TXT")), want);
}

// Every record of a run follows that run's header: input that ends at the
// comment question gives the header with the empty comment before the end
// record.
TEST(ProtocolFile, InputEndingAtTheCommentQuestionStillWritesTheHeaderFirst) {
  TempHome home;
  run_session("Erster\nq\n", home.path());
  testing::SessionResult r = run_session("", home.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.output,
            "  Kommentar / Comment:  See you later alligator\n"
            " Always keep in mind the \"20 % Bug\" of your divecomputer!\n");
  std::vector<std::string> want = {HEADER_DATE,  "Erster" + std::string(64, ' '), HEADER_TITLES, RECORD_X, RECORD_X,
                                   HEADER_DATE,  std::string(70, ' '),            HEADER_TITLES, RECORD_X};
  EXPECT_EQ(split_lines(home.read("PROT/PROTOCOL.TXT")), want);
}

// An umlaut that the end of the comment field would cut in half becomes a
// blank: the header line holds only whole UTF-8 characters.
TEST(ProtocolFile, ACommentCutAtItsFieldKeepsWholeCharacters) {
  TempHome home;
  run_session(std::string(69, 'c') + "\xC3\x84nderung\nq\n", home.path());
  std::vector<std::string> lines = split_lines(home.read("PROT/PROTOCOL.TXT"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], std::string(69, 'c') + " ");
}

TEST(ProtocolFile, EveryRecordFitsIn83Characters) {
  TempHome home;
  // A long comment, a deep long dive and a long surface interval.
  run_session(std::string(100, 'c') + "\nD\n199.9\n99999.9\nD\n0\n99999.9\nq\n", home.path());
  std::vector<std::string> lines = split_lines(home.read("PROT/PROTOCOL.TXT"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], std::string(70, 'c'));
  for (size_t i = 3; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 83u) << lines[i];
}

TEST(ProtocolFile, FolderMadeDuringTheRunGetsTheNextRecords) {
  TempHome home(false);
  FakePlatform p{{}, home.path()};
  DiveState st;
  one_time_startup(st);
  reset_dive_state(st, p);
  std::filesystem::create_directories(home.path() / "PROT");
  st.DEPTH = st.MAXDEPTH = 30.0;
  st.TIME = st.DIVETIME = 20.0;
  oxygen_exposure_step(st, p, 'D');
  EXPECT_EQ(split_lines(home.read("PROT/PROTOCOL.TXT")),
            std::vector<std::string>{
                " D   30.0     20.0     20.0  0.79 0.21 0.00    6.    14.     101.      0.    1975.1"});
}

TEST(ProtocolFile, MissingFolderAsksNothingAndWritesNothing) {
  const std::string dive = "D\n30.\n20.\nD\n0\n90.\nq\n";
  TempHome without(false);
  testing::SessionResult r = run_session(dive, without.path());
  EXPECT_EQ(r.output.find("Kommentar"), std::string::npos);
  EXPECT_EQ(r.unread, 0u);
  EXPECT_FALSE(std::filesystem::exists(without.path() / "PROT"));

  // The sums are the same as with the file present.
  TempHome with;
  testing::SessionResult w = run_session("Kommentar\n" + dive, with.path());
  EXPECT_EQ(r.state.OTU, w.state.OTU);
  EXPECT_EQ(r.state.CNS, w.state.CNS);
  EXPECT_EQ(r.state.KPOT, w.state.KPOT);
  EXPECT_EQ(r.state.ESOT, w.state.ESOT);
  EXPECT_EQ(split_lines(with.read("PROT/PROTOCOL.TXT")).size(), 7u);
}

// A started program at 30 m, ready for one D record after another.
struct StartedDive {
  FakePlatform p;
  DiveState st;
  explicit StartedDive(const TempHome& home) : p{{"Kommentar"}, home.path()} {
    one_time_startup(st);
    reset_dive_state(st, p);
    st.DEPTH = st.MAXDEPTH = 30.0;
    st.TIME = 1.0;
  }
  void segments(int n) {
    for (int i = 0; i < n; ++i) {
      st.DIVETIME += st.TIME;
      oxygen_exposure_step(st, p, 'D');
    }
  }
};

const char* const PROTOCOL_FAULT_NO_SPACE = "  Protokoll PROTOCOL.TXT nicht geschrieben: No space left on device";
const char* const PROTOCOL_FAULT_TOO_LARGE = "  Protokoll PROTOCOL.TXT nicht geschrieben: File too large";

// The protocol holds whole lines only: the three lines of the header, then
// records of 83 characters (the first the X of the start), and it ends with
// a line end.
void expect_whole_lines(const std::string& text, size_t records) {
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  std::vector<std::string> lines = split_lines(text);
  ASSERT_EQ(lines.size(), 3 + records);
  EXPECT_EQ(lines[0], HEADER_DATE);
  EXPECT_EQ(lines[2], HEADER_TITLES);
  for (size_t i = 3; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 83u) << i << ": " << lines[i];
}

// How often the message ends a line of the screen (the typed answer before
// it is not echoed).
size_t count_of(const std::string& text, const std::string& message) {
  size_t n = 0;
  for (const std::string& l : split_lines(text)) n += l.ends_with(message);
  return n;
}

TEST(ProtocolFile, AFullDiskIsToldOnceAndLeavesNoCutLine) {
  TempHome home;
  testing::SmallDisk disk(home.path() / "PROT", 64 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small disk on this machine";
  StartedDive dive(home);
  disk.fill();
  // The last block of the file still takes a few dozen records; then the
  // disk is full, in the middle of a record.
  dive.segments(80);
  const std::string full = home.read("PROT/PROTOCOL.TXT");
  const size_t written = split_lines(full).size() - 3;
  EXPECT_GT(written, 1u);
  EXPECT_LT(written, 80u);
  expect_whole_lines(full, written);
  EXPECT_EQ(count_of(dive.p.output(), PROTOCOL_FAULT_NO_SPACE), 1u) << dive.p.output();

  // Space again: the next records land, each on a line of its own.
  disk.make_room();
  dive.segments(2);
  expect_whole_lines(home.read("PROT/PROTOCOL.TXT"), written + 2);
  EXPECT_EQ(count_of(dive.p.output(), PROTOCOL_FAULT_NO_SPACE), 1u);
}

TEST(ProtocolFile, AFileThatMayNotGrowIsToldOnceAndLosesNoLineHalfway) {
  TempHome home;
  StartedDive dive(home);
  const auto size = std::filesystem::file_size(home.prot("PROTOCOL.TXT"));
  {
    // Two records and half of a third fit.
    testing::FileSizeLimit limit(size + 2 * 84 + 40);
    dive.segments(5);
  }
  expect_whole_lines(home.read("PROT/PROTOCOL.TXT"), 1 + 2);
  dive.segments(1);
  expect_whole_lines(home.read("PROT/PROTOCOL.TXT"), 1 + 3);
  EXPECT_EQ(count_of(dive.p.output(), PROTOCOL_FAULT_TOO_LARGE), 1u) << dive.p.output();
  // The oxygen sums count every segment, written or not.
  EXPECT_EQ(dive.st.DIVETIME, 6.0);
}

TEST(ProtocolFile, ControlCharactersOfTheCommentAreWrittenAsBlanks) {
  TempHome home;
  FakePlatform p{{std::string("Riff\0Nord\rost\x1b", 14)}, home.path()};
  DiveState st;
  one_time_startup(st);
  reset_dive_state(st, p);
  EXPECT_EQ(split_lines(home.read("PROT/PROTOCOL.TXT"))[1], "Riff Nord ost " + std::string(56, ' '));
}

TEST(ProtocolFile, ANewRunAfterACutLineStartsOnALineOfItsOwn) {
  TempHome home;
  home.write("PROT/PROTOCOL.TXT", " D   30.0     20.0     2");
  run_session("Zweiter\nq\n", home.path());
  std::vector<std::string> lines = split_lines(home.read("PROT/PROTOCOL.TXT"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " D   30.0     20.0     2");
  EXPECT_EQ(lines[1], HEADER_DATE);
}

TEST(ProtocolFile, APipeInItsPlaceDoesNotHoldTheProgramUp) {
  TempHome home;
  ASSERT_EQ(::mkfifo(home.prot("PROTOCOL.TXT").c_str(), 0644), 0);
  ::alarm(10);
  testing::SessionResult r = run_session("D\n30.\n20.\nq\n", home.path());
  ::alarm(0);
  // Like a file that cannot be opened: no comment question, no records.
  EXPECT_EQ(r.output.find("Kommentar"), std::string::npos);
  EXPECT_EQ(r.unread, 0u);
  EXPECT_EQ(r.exit_code, 0);
}

}  // namespace
}  // namespace orva
