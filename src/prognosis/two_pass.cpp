#include "prognosis/two_pass.hpp"

#include <cmath>

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

double oxygen_corrected(double k) { return to_double(q(k) / OXYGEN_CORRECTION); }

double stop_minutes_with_latency(double T, const std::string& LATENCY) {
  double Tr = whole_minutes_plus_one(T);
  if (LATENCY == "Y") Tr = Tr + LATENCY_MINUTES;
  return Tr;
}

std::int64_t air_break_minutes(double Tr) {
  if (!(Tr >= AIR_BREAK_STOP)) return 0;
  return saturating_int64(5.0 * std::trunc(Tr / AIR_BREAK_STOP) + 1.0);
}

TwoPassPrognosis::TwoPassPrognosis(int grid, std::span<const GasBand> gases, TwoPassLines lines)
    : Prognosis({.grid = grid,
                 .writes_deepstop = false,
                 .ascent_to_first_stop = false,
                 .mixture = Mixture::once_stored,
                 .laststop_rule = false}),
      gases_(gases),
      lines_(lines) {}

void TwoPassPrognosis::heading(Schedule& w) { write(w.p, pass == 1 ? lines_.first_heading : lines_.second_heading); }

void TwoPassPrognosis::working_copies(Schedule& w) {
  SUMAB = 0.0;
  if (pass != 2) return;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    w.KMIX[i] = oxygen_corrected(w.KMIX[i]);
    w.KN2W[i] = oxygen_corrected(w.st.KN2[i]);
    w.KHEW[i] = oxygen_corrected(w.st.KHE[i]);
  }
}

double TwoPassPrognosis::first_stop_ceiling(const Schedule& w, int i) {
  const DiveState& st = w.st;
  double Ptol = tolerated_pressure(w.PSUMW[i], st.AMIX[i], st.BMIX[i]);
  return ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
}

StopGas TwoPassPrognosis::stop_gas(const Schedule& w) { return stop_gas_of(gases_, w.s, w.st); }

double TwoPassPrognosis::stop_minutes(const Schedule& w) { return stop_minutes_with_latency(w.T, w.st.LATENCY); }

void TwoPassPrognosis::stop_line(Schedule& w) {
  SUMAB += w.Tr;
  if (pass == 1) {
    write(w.p, labelled_stop_format(gas_band(gases_, w.s).label, lines_.minutes_field), {w.s, w.Tr});
    return;
  }
  write(w.p, labelled_stop_format("( OC )", lines_.minutes_field), {w.s, w.Tr});
  std::int64_t AB = air_break_minutes(w.Tr);
  if (AB == 0) return;
  SUMAB += static_cast<double>(AB);
  std::string air_break = R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit (OC): ", )" + std::string(lines_.minutes_field) +
                          R"(, " ", " + AIRBREAK!: ", I3)";
  write(w.p, air_break, {w.s, w.Tr, AB});
}

void TwoPassPrognosis::time_to_surface_line(Schedule& w) {
  const DiveState& st = w.st;
  double tts = time_to_surface(w.SUM, st.DEPTH, st.ASCRATE);
  double tts_air_breaks = time_to_surface(SUMAB, st.DEPTH, st.ASCRATE);
  write(w.p, R"(" ", "TTS = ", )" + std::string(lines_.tts_field), {tts});
  if (tts_air_breaks > tts) write(w.p, R"(" ", "TTS + AIRBREAKs = ", )" + std::string(lines_.tts_field), {tts_air_breaks});
}

void run_two_passes(TwoPassPrognosis& v, DiveState& st, Platform& p) {
  v.pass = 1;
  run_schedule(v, st, p);
  v.pass = 2;
  run_schedule(v, st, p);
}

}  // namespace orva
