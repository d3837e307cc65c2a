#include "model/n2_coefficients.hpp"

#include "model/coefficient_choice.hpp"

namespace orva {
namespace {

// Half-times in minutes, a in bar, b without unit; compartments 1 to 16.
constexpr Column ZHL16_TAU = {4.0,   8.0,   12.5,  18.5,  27.0,  38.3,  54.3,  77.0,
                              109.0, 146.0, 187.0, 239.0, 305.0, 390.0, 498.0, 635.0};
constexpr Column ZHL16_B = {0.505,  0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.891,
                            0.9092, 0.9222, 0.9319, 0.9403, 0.9477, 0.9544, 0.9602, 0.9653};
constexpr Column HAHN_TAU = {2.65,  7.94,  12.2,  18.5,  26.5,  37.0,  53.0,  79.0,
                             114.0, 146.0, 185.0, 238.0, 304.0, 397.0, 503.0, 635.0};

constexpr StoredSet ZHL16C = {
    ZHL16_TAU,
    {1.2599, 1.0, 0.8618, 0.7562, 0.62, 0.5043, 0.441, 0.4, 0.375, 0.35, 0.3295, 0.3065, 0.2835, 0.261, 0.248,
     0.2327},
    ZHL16_B};

constexpr StoredSet DECO_2000 = {
    HAHN_TAU,
    {1.3, 0.875, 0.85, 0.735, 0.56, 0.55, 0.5, 0.315, 0.31, 0.305, 0.24, 0.235, 0.23, 0.225, 0.22, 0.215},
    {0.45, 0.74, 0.745, 0.825, 0.86, 0.86, 0.86, 0.87, 0.88, 0.921, 0.931, 0.945, 0.955, 0.96, 0.961, 0.962}};

constexpr StoredSet ZHL16B = {
    ZHL16_TAU,
    {1.2599, 1.0, 0.8618, 0.7562, 0.6667, 0.56, 0.4947, 0.45, 0.4187, 0.3798, 0.3497, 0.3223, 0.285, 0.2737,
     0.2523, 0.2327},
    ZHL16_B};

constexpr StoredSet ZHL12 = {
    HAHN_TAU,
    {2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.43, 0.43, 0.35, 0.23, 0.23, 0.23, 0.23},
    {0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.89, 0.931, 0.931, 0.943, 0.962, 0.962, 0.962, 0.962}};

constexpr StoredSet P2_2_DECO_BRAIN = {
    {4.0, 7.94, 12.2, 18.5, 26.5, 37.0, 53.0, 79.0, 114.0, 146.0, 185.0, 238.0, 304.0, 397.0, 503.0, 635.0},
    {1.8917, 1.4699, 1.0575, 0.87828, 0.69207, 0.53783, 0.43429, 0.40135, 0.41385, 0.43085, 0.4317, 0.37321,
     0.25083, 0.25086, 0.25087, 0.25088},
    {0.82593, 0.82604, 0.83132, 0.84232, 0.85687, 0.8825, 0.89375, 0.91737, 0.90848, 0.94176, 0.94122, 0.94896,
     0.96671, 0.96668, 0.96666, 0.96666}};

// a = 0.4 / b within the stored digits; both columns are stored as they stand.
constexpr StoredSet MT92 = {
    {5.0, 7.0, 10.0, 15.0, 20.0, 30.0, 40.0, 50.0, 60.0, 75.0, 80.0, 100.0, 120.0, 120.0, 120.0, 120.0},
    {1.04, 0.85714, 0.72, 0.61333, 0.56, 0.50667, 0.48, 0.464, 0.45333, 0.44267, 0.44, 0.432, 0.42667, 0.42667,
     0.42667, 0.42667},
    {0.38462, 0.4667, 0.55556, 0.65217, 0.71429, 0.78947, 0.83333, 0.86207, 0.88235, 0.90361, 0.90909, 0.92593,
     0.9375, 0.9375, 0.9375, 0.9375}};

constexpr StoredSet ESL16D = {
    ZHL16_TAU,
    {1.1339, 0.8, 0.7325, 0.6806, 0.558, 0.4539, 0.3969, 0.36, 0.3225, 0.3045, 0.2767, 0.2759, 0.2552, 0.2349,
     0.2232, 0.2094},
    ZHL16_B};

// The U.S. Navy sets: half-time, surface M-value in fsw and slope.
constexpr Column USN_TAU = {5.0,   10.0,  20.0,  40.0,  80.0,  120.0, 160.0, 200.0,
                            240.0, 240.0, 240.0, 240.0, 240.0, 240.0, 240.0, 240.0};
constexpr Column DM_ONE = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};

constexpr M0dMSet USN_1965 = {
    USN_TAU,
    {104.0, 88.0, 72.0, 56.0, 54.0, 52.0, 51.0, 51.0, 50.0, 50.0, 50.0, 50.0, 50.0, 50.0, 50.0, 50.0},
    {1.8, 1.6, 1.5, 1.4, 1.3, 1.2, 1.15, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1, 1.1}};

constexpr M0dMSet VVAL18 = {
    USN_TAU,
    {120.0, 98.0, 78.0, 56.0, 48.5, 45.5, 44.5, 44.0, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5},
    DM_ONE};

constexpr M0dMSet VVAL76_1 = {
    {5.0, 10.0, 20.0, 35.0, 40.0, 45.0, 80.0, 120.0, 160.0, 200.0, 240.0, 255.0, 255.0, 255.0, 255.0, 255.0},
    {106.7, 86.7, 70.3, 59.2, 56.0, 55.6, 48.5, 45.5, 44.5, 44.0, 43.5, 40.4, 40.4, 40.4, 40.4, 40.4},
    DM_ONE};

constexpr M0dMSet VVAL79 = {
    USN_TAU,
    {99.3, 87.7, 78.0, 56.0, 48.5, 45.5, 44.5, 44.0, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5, 43.5},
    DM_ONE};

// 0.030643 bar per fsw; the two other constants are reciprocal to double
// precision (their double product is exactly 1.0).
constexpr M0dMConstants N2_M0DM = {0.030643, 0.10053147862602932, 9.94713311359854};

const CoefficientOption N2_OPTIONS[] = {
    {.name = "ZH-L 16C  ", .stored = &ZHL16C},
    {.name = "Deco 2000 ", .stored = &DECO_2000},
    {.name = "File      ", .file = N2COEFF_FILE},
    {.name = "USN 1965  ", .m0dm = &USN_1965},
    {.name = "VVAL18    ", .m0dm = &VVAL18},
    {.name = "VVAL 76-1 ", .m0dm = &VVAL76_1},
    {.name = "ZH-L 16B  ", .stored = &ZHL16B},
    {.name = "ZH-L 12   ", .stored = &ZHL12},
    {.name = "P2-2 D-BR ", .stored = &P2_2_DECO_BRAIN},
    {.name = "File F10  ", .file = F10_FILE},
    {.name = "File F11  ", .file = F11_FILE},
    {.name = "MT92      ", .stored = &MT92},
    // The DCIEM simulation assumes sea water.
    {.name = "ES-L 16D  ", .stored = &ESL16D, .RHO = 1025.0},
    {.name = "VVAL 79   ", .m0dm = &VVAL79},
};

const CoefficientMenu N2_MENU = {
    .gas = Gas::Nitrogen,
    .header = R"(" ", "Input of N2 coefficient matrix: ")",
    .menu = R"("  1 = Buehlmann ZH-L 16C Computer,", /,)"
            R"("  2 = Dr. Max Hahn,", /,)"
            R"("  3 = File: N2COEFF.TXT,", /,)"
            R"("  4 = U.S. Navy 1965,", /,)"
            R"("  5 = USN: VVAL18,", /,)"
            R"("  6 = USN: VVAL76-1,", /,)"
            R"("  7 = Buehlmann ZH-L 16B table,", /,)"
            R"("  8 = Buehlmann ZH-L 12 (1983),", /,)"
            R"("  9 = M. Hahn DECO-BRAIN P2-2, (1985),", /,)"
            R"(" 10 = File: F10.TXT,", /,)"
            R"(" 11 = File: F11.TXT,", /,)"
            R"(" 12 = MT92,", /,)"
            R"(" 13 = ES-L 16D DCIEM Simulation. ,", /,)"
            R"(" 14 = USN: VVAL79 ?", /)",
    .option_width = 2,
    .echo = R"(" ", " Option: ", I2, "  set! ")",
    .m0dm = N2_M0DM,
    .options = N2_OPTIONS,
};

}  // namespace

void n2_coefficient_choice(DiveState& st, Platform& p) { coefficient_choice(st, p, N2_MENU); }

}  // namespace orva
