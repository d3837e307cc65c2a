#include "analyses/sat_procedures.hpp"

#include <array>
#include <cstdint>
#include <string>

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

// Hours to ascend from depth D to the lower boundary B of a band at v metres
// per hour: the difference in binary128, rounded to double, then divided in
// binary128 and rounded again. The shallowest band has B = 0.
double sat_band_time(double D, quad B, quad v) {
  double difference = to_double(q(D) - B);
  return to_double(q(difference) / v);
}

namespace {

// Excursion limits in whole feet. Row i of the shallowest limits belongs to
// the storage depth 30 + 10 i ft, row i of the deepest limits to 20 + 10 i ft.
constexpr std::array<std::int64_t, 97> SHALLOWEST_EXCURSION_FT = {
    8,   15,  23,  30,  38,  46,  53,  61,  69,  77,   //  30-120 ft
    85,  94,  102, 110, 118, 127, 135, 143, 152, 160,  // 130-220 ft
    169, 177, 186, 194, 203, 211, 220, 229, 237, 246,  // 230-320 ft
    255, 263, 272, 281, 290, 298, 307, 316, 325, 334,  // 330-420 ft
    343, 351, 360, 369, 378, 387, 396, 405, 414, 423,  // 430-520 ft
    432, 440, 449, 458, 467, 476, 485, 494, 503, 512,  // 530-620 ft
    521, 531, 540, 549, 558, 567, 576, 585, 594, 603,  // 630-720 ft
    612, 621, 630, 639, 649, 658, 667, 676, 685, 694,  // 730-820 ft
    703, 713, 722, 731, 740, 749, 758, 768, 777, 786,  // 830-920 ft
    795, 804, 814, 823, 832, 841, 850,                 // 930-990 ft
};
// The row for 840 ft holds 969 ft, less than the row for 830 ft; it is the
// published table as it stands.
constexpr std::array<std::int64_t, 84> DEEPEST_EXCURSION_FT = {
    57,  70,  83,  96,  108, 121, 133, 146, 158, 170,  //  20-110 ft
    182, 194, 206, 218, 230, 242, 253, 265, 277, 288,  // 120-210 ft
    300, 312, 323, 335, 346, 358, 369, 380, 392, 403,  // 220-310 ft
    415, 426, 437, 448, 460, 471, 482, 493, 505, 516,  // 320-410 ft
    527, 538, 549, 561, 572, 583, 594, 605, 616, 627,  // 420-510 ft
    638, 649, 660, 672, 683, 694, 705, 716, 727, 738,  // 520-610 ft
    749, 760, 771, 782, 793, 803, 814, 825, 836, 847,  // 620-710 ft
    858, 869, 880, 891, 902, 913, 924, 934, 945, 956,  // 720-810 ft
    967, 978, 969, 1000,                               // 820-850 ft
};

// The row of a storage depth of F feet: trunc((F - first) / 10) in binary128.
// The shallowest table is consulted up to 1000 ft although its last row is
// for 990 ft; a storage depth of exactly 1000 ft, past the last row, takes
// that last row like every depth from 990 ft on. Storage depths shallower than
// the first row (never reached behind the 9.2 m guard) take the first row.
template <size_t N>
std::int64_t excursion_row(const std::array<std::int64_t, N>& table, double F, quad first) {
  std::int64_t i = saturating_int64((q(F) - first) / 10.0Q);
  if (i < 0) i = 0;
  if (i >= static_cast<std::int64_t>(N)) i = static_cast<std::int64_t>(N) - 1;
  return table[static_cast<size_t>(i)];
}

// Every ascent procedure opens with two rows of asterisks and its title.
void write_procedure_title(Platform& p, const char* title) {
  write(p, R"(" **********************")");
  write(p, R"(" **********************")");
  write(p, R"(A)", {title});
}

// A band boundary in metres. A depth belongs to the deeper band only when it
// lies beyond the boundary, so a depth on a boundary belongs to the shallower
// band. The test is made in binary128 on the widened depth against the
// widened double nearest the boundary's decimal: a storage depth typed as
// 15.63 m is on the boundary 15.63 m, though the double 15.63 lies a little
// beyond the binary128 15.63. The band time subtracts the binary128 decimal.
struct BandBoundary {
  double compared;
  quad subtracted;
};
constexpr BandBoundary MT92_15M{15.0, 15.0Q};
constexpr BandBoundary NORMAM15_20M{20.0, 20.0Q};
constexpr BandBoundary USN1991_200FT{62.52, 62.52Q};
constexpr BandBoundary USN1991_50FT{15.63, 15.63Q};
constexpr BandBoundary USN2018_200FT{62.5232, 62.5232Q};
constexpr BandBoundary USN2018_100FT{31.2616, 31.2616Q};
constexpr BandBoundary USN2018_50FT{15.6308, 15.6308Q};

bool deeper_than(double depth, const BandBoundary& boundary) { return q(depth) > q(boundary.compared); }

double band_time(double D, const BandBoundary& boundary, quad v) { return sat_band_time(D, boundary.subtracted, v); }

}  // namespace

std::int64_t shallowest_excursion_feet(double storage_feet) {
  return excursion_row(SHALLOWEST_EXCURSION_FT, storage_feet, 30.0Q);
}

std::int64_t deepest_excursion_feet(double storage_feet) {
  return excursion_row(DEEPEST_EXCURSION_FT, storage_feet, 20.0Q);
}

void mt92_sat_procedure(DiveState& st, Platform& p) {
  const double D = st.MAXDEPTH;
  write_procedure_title(p, "  MT 92 SAT (2019) Procedures:");
  if (!deeper_than(D, MT92_15M)) {
    double t = sat_band_time(D, 0.0Q, 1.0Q);
    write(p, R"("  ascent time from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, t});
    return;
  }
  // Two schedules, at the rates for pO2 0.6 and 0.5 bar.
  auto schedule = [&](quad rate, const char* po2_format) {
    double t = band_time(D, MT92_15M, rate);
    write(p, po2_format, {D, t});
    write(p, R"("  ascent time from 15 m to 0 m:    ", F5.1, " hours (h) ")", {15.0});
    write(p, R"("   TTS from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, t + 15.0});
  };
  schedule(1.3333Q, R"("  ascent time from ", F5.1, " to 15 m:  ", F5.1, " hours (h) @ pO2 = 0,6 Bar!")");
  write(p, R"(" ")");
  schedule(1.2Q, R"("  ascent time from ", F5.1, " to 15 m:  ", F5.1, " hours (h) @ pO2 = 0,5 Bar!")");
}

void normam15_sat_procedure(DiveState& st, Platform& p) {
  const double D = st.MAXDEPTH;
  write_procedure_title(p, "  NORMAM-15 (2011) Procedure:");
  if (!deeper_than(D, NORMAM15_20M)) {
    double t = sat_band_time(D, 0.0Q, 0.6667Q);
    write(p, R"("  ascent time from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, t});
    return;
  }
  double t = band_time(D, NORMAM15_20M, 1.2Q);
  write(p, R"("  ascent time from ", F5.1, " to 20 m:  ", F5.1, " hours (h) ")", {D, t});
  write(p, R"("  ascent time from 20 m to 0 m:    ", F5.1, " hours (h) ")", {30.0});
  write(p, R"(" ")");
  write(p, R"(" TTS from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, t + 30.0});
}

void usn_sat_1991_procedure(DiveState& st, Platform& p) {
  const double D = st.MAXDEPTH;
  write_procedure_title(p, "  USN SAT (1991) Procedure:");
  if (deeper_than(D, USN1991_200FT)) {
    double t = band_time(D, USN1991_200FT, 1.2505Q);
    quad T = q((t + 60.0) + 25.0) + 0.25Q;
    write(p, R"("  ascent time from ", F5.1, " to 62 m:  ", F5.1, " hours (h) ")", {D, t});
    write(p, R"("  ascent time from 62 m to 16 m:   ", F5.1, " hours (h) ")", {60.0});
    write(p, R"("  ascent time from 16 m to 0 m:    ", F5.1, " hours (h) ")", {25.0});
    write(p, R"(" ")");
    write(p, R"(" TTS from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, T});
  } else if (deeper_than(D, USN1991_50FT)) {
    double t = band_time(D, USN1991_50FT, 0.7815Q);
    quad T = q(t + 25.0) + 0.4Q;
    write(p, R"("  ascent time from ", F5.1, " to 16 m:  ", F5.1, " hours (h) ")", {D, t});
    write(p, R"("  ascent time from 16 m to 0 m:    ", F5.1, " hours (h) ")", {25.0});
    write(p, R"(" ")");
    write(p, R"(" TTS from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, T});
  } else {
    quad T = q(sat_band_time(D, 0.0Q, 0.6252Q)) + 0.5Q;
    write(p, R"("  ascent time from ", F5.1, " to 0 m:    ", F5.1, " hours (h) ")", {D, T});
  }
  write(p, R"(" ")");
  write(p, R"(" 1 Foot STOP Times! For Storage Depth: ")");
  write(p, R"("  1.000 ft: + 15 min")");
  write(p, R"("    200 ft: + 24 min")");
  write(p, R"("     50 ft: + 30 min")");
  write(p, R"("")");
}

void usn_sat_2018_procedure(DiveState& st, Platform& p, double& tts_hours) {
  const double D = st.MAXDEPTH;
  const double F = feet_from_metres(D, st.FTPERM);
  write_procedure_title(p, "  USN SAT (2018) Procedure:");
  write(p, R"(" ")");
  write(p, R"("  Storage Depth: ", F6.1, " feet / m: ", F5.1)", {F, metres_from_feet(F, st.FTPERM)});

  double T = 0.0;
  if (deeper_than(D, USN2018_200FT)) {
    double t = band_time(D, USN2018_200FT, 1.8288Q);
    T = ((t + 20.0) + 12.5) + 16.7;
    write(p, R"("  ascent time from ", F5.1, " to 62 m / 200 ft:  ", F5.1, " hours (h) ")", {D, t});
    write(p, R"("  ascent time from 62 m to 31 m / 100 ft:   ", F4.1, " hours (h) ")", {20.0});
    write(p, R"("  ascent time from 31 m to 16 m / 50 ft:   ", F4.1, " hours (h) ")", {12.5});
    write(p, R"("  ascent time from 16 m to 0 m / 0 ft:    ", F4.1, " hours (h) ")", {16.7});
  } else if (deeper_than(D, USN2018_100FT)) {
    double t = band_time(D, USN2018_100FT, 1.524Q);
    T = (t + 12.5) + 16.7;
    write(p, R"("  ascent time from ", F5.1, " to 31 m / 100 ft:  ", F4.1, " hours (h) ")", {D, t});
    write(p, R"("  ascent time from 31 m to 16 m / 50 ft:   ", F4.1, " hours (h) ")", {12.5});
    write(p, R"("  ascent time from 16 m to 0 m / 0 ft:    ", F4.1, " hours (h) ")", {16.7});
  } else if (deeper_than(D, USN2018_50FT)) {
    double t = band_time(D, USN2018_50FT, 1.2192Q);
    T = t + 16.7;
    write(p, R"("  ascent time from ", F5.1, " to 16 m / 50 ft:  ", F4.1, " hours (h) ")", {D, t});
    write(p, R"("  ascent time from 16 m to 0 m / 0 ft:   ", F4.1, " hours (h) ")", {16.7});
  } else {
    T = sat_band_time(D, 0.0Q, 0.9144Q);
    write(p, R"(" ascent time from ", F5.1, " to 0 m / 0 ft:   ", F4.1, " hours (h) ")", {D, T});
  }
  if (deeper_than(D, USN2018_50FT)) {
    write(p, R"(" ")");
    write(p, R"(" TTS from ", F5.1, " to 0 m:  ")", {D});
    write(p, R"("    (from: ", F6.1, " ft to 0 ft):   ", F5.1, " hours (h) ")", {F, T});
  }
  tts_hours = T;

  // Longer schedules are split into days of 16 hours of decompression and
  // 8 hours of rest; the remainder is the last day's decompression.
  if (q(T) > 16.0Q) {
    std::int64_t days = saturating_int64(q(T) / 16.0Q);
    double rest = to_double(qmod(q(T), 16.0Q));
    write(p, R"("")");
    write(p, R"(" Traveltime = ", F6.2, " hours that is:")", {T});
    write(p, R"("       ", I3, " Days a 16 h deco + 8 h stop")", {days});
    write(p, R"("      + ", F5.2, " hours @ last day")", {rest});
    write(p, R"("")");
    write(p, R"(" COMPLETE SCHEDULE, TTS = ", F6.2, " HOURS!")", {24.0Q * static_cast<quad>(days) + q(rest)});
  }
}

void usn_sat_excursions(DiveState& st, Platform& p) {
  st.RHO = 999.6;
  st.TWATER = 15.0;
  std::string answer = " ";
  write(p, R"(" ")");
  write(p, R"(" USN SAT EXCURSIONS (2018) Procedures:")");
  while (true) {
    write(p, R"(" ")");
    answer = ask_text(p, R"(" Excursions? Y for YES or N for NO: ", $)", 1, 1);
    if (answer == "N" || answer == "n") return;
    if (answer == "Y" || answer == "y") break;
    write(p, R"("     what???")");
  }

  const double F = feet_from_metres(st.MAXDEPTH, st.FTPERM);
  write(p, R"("  actual storage depth: ", F6.1, " feet / m: ", F5.1)", {F, st.MAXDEPTH});

  double lowest = 0.0;
  if (q(F) <= 1000.0Q) {
    double S = static_cast<double>(shallowest_excursion_feet(F));
    write(p, R"("  shallowest excursion depth: ", F6.1, " feet / m: ", F5.1)", {S, metres_from_feet(S, st.FTPERM)});
    lowest = S;
  } else {
    write(p, R"("  no upward excursion allowed!")");
  }
  if (q(F) <= 850.0Q) {
    double X = static_cast<double>(deepest_excursion_feet(F));
    write(p, R"("  deepest excursion depth: ", F6.1, " feet / m: ", F5.1)", {X, metres_from_feet(X, st.FTPERM)});
  } else {
    write(p, R"("  no downward excursion allowed!")");
  }

  double E = 0.0;
  while (true) {
    E = ask_value(p, R"("  upward excursion to? (depth in feet): ", $)", 3, 0);
    if (!(E < lowest)) break;
    write(p, R"("  Depth for upward excursion to SHALLOW!")");
  }

  // The difference in double, halved in binary128 and rounded to double, then
  // truncated toward zero.
  const double half = to_double(q(F - E) / 2.0Q);
  std::int64_t minutes = static_cast<std::int64_t>(half) + 1;
  write(p, R"("  Traveltime for excursion in minutes:", I3)", {minutes});
  if (q(F) <= 200.0Q) {
    write(p, R"("  holdtime at ", F5.0, " feet: 120 min!")", {E});
    write(p, R"("  holdtime at ", F5.0, " m: 2 hours!")", {metres_from_feet(E, st.FTPERM)});
  }

  st.MAXDEPTH = metres_from_feet(E, st.FTPERM);
  double excursion_tts = 0.0;  // not passed on
  usn_sat_2018_procedure(st, p, excursion_tts);
}

}  // namespace orva
