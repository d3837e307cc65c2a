#include "shell/environment_settings.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "shell/water_density.hpp"

namespace orva {
namespace {

// The fixed USN factor beside the one the current density gives.
void write_conversion_factors(const DiveState& st, Platform& p) {
  write(p,
        R"f(/, " ", " Conversion factor USN STD 1 Bar: ", F10.5, " fsw @ 15 deg Celsius!", /, " ", " Conversion factor now:    1 Bar= ", F10.5, " fsw (feet of seawater)")f",
        {st.FSWBAR, fsw_per_bar(st.FTPERM, st.RHO, st.GRAV)});
}

// The lower bound is exclusive, but the double nearest 0.4 lies above the
// binary128 nearest 0.4, so 0.4 itself is accepted.
bool accepted_air_pressure(double v) { return q(v) > 0.4Q && q(v) <= 1.5Q; }
bool accepted_last_stop(double v) { return q(v) > 1.0Q && q(v) <= 9.0Q; }
bool accepted_ascent_rate(double v) { return q(v) >= 0.0001Q && q(v) < 250.0Q; }
bool accepted_gf_high(double v) { return q(v) > 0.0Q && q(v) <= 1.5Q; }
bool accepted_gf_low(double v) { return within(v, 0.0Q, 1.5Q); }

}  // namespace

void set_air_pressure(DiveState& st, Platform& p) {
  write(p, R"(" ", "Eingabe des Umgebungs-Luftdrucks in Bar")");
  st.PAIR = ask_value(p, R"(" ", "Bsp.: 1005 mbar = 1.005")", 7, 4, accepted_air_pressure);
}

void set_water_density(DiveState& st, Platform& p) {
  write(p, R"(" ", " Eingabe der spezifischen Wasserdichte", "  (Suess- / Salzwasser): ")");
  st.RHO = ask_value(
      p,
      R"f(" ", " in kg pro m hoch3 ", " (z.B. wie in EN 13319: 1019.70)", /, "                           oder per U.S.N.: 1025.20 :", $)f",
      10, 5, [](double v) { return q(v) >= 800.0Q && q(v) < 1400.0Q; });
  write_conversion_factors(st, p);
}

void set_water_temperature(DiveState& st, Platform& p) {
  write(p, R"(" ", " Eingabe der durchschnittlichen Wassertemperatur")");
  st.TWATER = ask_value(p, R"(" ", " in Grad Celsius, z.B.: 18.3 : ", $)", 5, 2,
                        [](double v) { return q(v) >= 0.0Q && q(v) < 35.0Q; });

  // The current density is taken as the one at 20 degrees Celsius.
  const KellDensity kell(st.RHO);
  if (q(st.TWATER) == 20.0Q) return;

  write(p, R"(" ", " Kontrollausdruck zur Dichteanomalie des Wassers:")");
  write(p, R"(" ", "*************************************************")");
  double T = 0.0;
  for (int row = 0; row < 15; ++row) {
    write(p, R"(" ", " Wassertemperatur [Celsius]: ", F6.1, " ", "   Dichte [kg / m**3]:  ", F10.5)",
          {T, kell.density(T)});
    T += 2.5;
  }
  st.RHO = kell.density(st.TWATER);
  write_conversion_factors(st, p);
}

void set_last_stop(DiveState& st, Platform& p) {
  write(p, R"f(" ", "Eingabe des letzten Stopps (statt 3.0 m)")f");
  // The 1.5 m of the prompt is not the bound.
  st.LASTSTOP = ask_value(p, R"(" ", "Bereich: 1.5 bis 9.0 m")", 7, 4, accepted_last_stop);
}

void set_ascent_rate(DiveState& st, Platform& p) {
  write(p, R"(" ", "Eingabe der Aufstiegsrate")");
  write(p, R"(" ", "Bsp.: 8,5 m / min, Eingabe: 8.5 !")");
  st.ASCRATE = ask_value(p, R"f(" ", "in Metern / Minute (sonst 9.0 m / min.)")f", 9, 5, accepted_ascent_rate);
}

void set_gradient_factors(DiveState& st, Platform& p) {
  constexpr const char* range_prompt = R"(" ", "Bereich: 0.x bis 1.0")";
  write(p, R"(" ", "Gradientenfaktor GF Hi")");
  st.GFHI = ask_value(p, range_prompt, 7, 4, accepted_gf_high);
  write(p, R"(" ", "Gradientenfaktor GF Lo")");
  st.GFLO = ask_value(p, range_prompt, 7, 4, accepted_gf_low);
  // GF Lo 0 (also the empty answer) means no low factor.
  if (q(st.GFLO) == 0.0Q) st.GFLO = 1.0;

  // In this order; any other pair (both above 1, or 1 with one above 1)
  // keeps the mode as it was, also the per-compartment mode V.
  if (q(st.GFHI) < 1.0Q) st.GFFLAG = "S";
  if (q(st.GFLO) < 1.0Q) st.GFFLAG = "S";
  if (q(st.GFHI) == 1.0Q && q(st.GFLO) == 1.0Q) st.GFFLAG = "N";
}

void toggle_latency(DiveState& st, Platform& p) {
  if (st.LATENCY == "N") {
    st.LATENCY = "Y";
    write(p, R"(" ", " LATENCY = ON")");
    return;
  }
  if (st.LATENCY == "Y") write(p, R"(" ", " LATENCY = OFF")");
  st.LATENCY = "N";
}

void set_o2_half_time(DiveState& st, Platform& p) {
  write(p, R"(" ", "Eingabe der O2 Halbwertszeit in Minuten.0: ")");
  // The 45 min of the prompt is not the bound.
  st.O2HWZ = ask_value(p, R"(" ", "in Minuten: 45. < O2HWZ < 240. min")", 5, 1,
                       [](double v) { return within(v, 5.0Q, 240.0Q); });
}

}  // namespace orva
