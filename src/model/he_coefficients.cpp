#include "model/he_coefficients.hpp"

#include "model/coefficient_choice.hpp"

namespace orva {
namespace {

// Half-times in minutes, a in bar, b without unit; compartments 1 to 16.
constexpr StoredSet ZHL16C = {
    {1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.2, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24,
     240.03},
    {1.7424, 1.383, 1.1919, 1.0458, 0.922, 0.8205, 0.7305, 0.6502, 0.595, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176,
     0.5172, 0.5119},
    // Compartment 5 is 0.7852, as in the start set.
    {0.4245, 0.5747, 0.6527, 0.7223, 0.7852, 0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997, 0.9073, 0.9122,
     0.9171, 0.9217, 0.9267}};

constexpr StoredSet ZHL12 = {
    {1.0, 3.0, 4.6, 7.0, 10.0, 14.0, 20.0, 30.0, 43.0, 55.0, 70.0, 90.0, 115.0, 150.0, 190.0, 240.0},
    {2.2, 1.5, 1.05, 0.9, 0.75, 0.6, 0.45, 0.43, 0.43, 0.47, 0.47, 0.47, 0.47, 0.47, 0.47, 0.47},
    {0.82, 0.82, 0.825, 0.835, 0.845, 0.86, 0.87, 0.89, 0.89, 0.925, 0.925, 0.925, 0.925, 0.925, 0.925, 0.925}};

constexpr M0dMSet USN_1965 = {
    {5.0, 10.0, 20.0, 40.0, 80.0, 120.0, 160.0, 200.0, 240.0, 240.0, 240.0, 240.0, 240.0, 240.0, 240.0, 240.0},
    {86.0, 74.0, 66.0, 60.0, 56.0, 54.0, 54.0, 53.0, 53.0, 53.0, 53.0, 53.0, 53.0, 53.0, 53.0, 53.0},
    {1.5, 1.4, 1.3, 1.2, 1.2, 1.2, 1.1, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0}};

// 0.0306391 bar per fsw of helium; K1 = 0.0306391 / 0.3048, K2 = 0.3048 / 0.0306391.
constexpr M0dMConstants HE_M0DM = {0.0306391, 0.10052198162729659, 9.948072887258439};

const CoefficientOption HE_OPTIONS[] = {
    // The menu says ZH-L 16 (2002); the set keeps the start-up name.
    {.name = "ZH-L 16C  ", .stored = &ZHL16C},
    {.name = "ZH-L 12   ", .stored = &ZHL12},
    {.name = "File      ", .file = HECOEFF_FILE},
    {.name = "USN 1965  ", .m0dm = &USN_1965},
    {.name = "File F05  ", .file = F05_FILE},
    {.name = "File F06  ", .file = F06_FILE},
};

const CoefficientMenu HE_MENU = {
    .gas = Gas::Helium,
    .header = R"(" ", "Eingabe der HE-Koeffizienten Matrix:")",
    .menu = R"("  1 = Buehlmann ZH-L 16 (2002),", /,)"
            R"("  2 = Buehlmann ZH-L 12 (1983),", /,)"
            R"("  3 = File: HECOEFF.TXT,", /,)"
            R"("  4 = U.S. Navy 1965,", /,)"
            R"("  5 = File: F05.TXT,", /,)"
            R"("  6 = File: F06.TXT.", /)",
    .option_width = 1,
    .echo = R"(" ", " Option: ", I1, "  gesetzt!")",
    .m0dm = HE_M0DM,
    .options = HE_OPTIONS,
};

}  // namespace

void he_coefficient_choice(DiveState& st, Platform& p) { coefficient_choice(st, p, HE_MENU); }

}  // namespace orva
