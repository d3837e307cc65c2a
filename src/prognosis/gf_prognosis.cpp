#include "prognosis/gf_prognosis.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

double gf_line(double hi, double lo, double DEEPSTOP, std::int64_t s) {
  return hi - ((hi - lo) / DEEPSTOP) * static_cast<double>(s);
}

double gf_line(const DiveState& st, std::int64_t s) { return gf_line(st.GFHI, st.GFLO, st.DEEPSTOP, s); }

double GradientFactorPrognosis::first_stop_ceiling(const Schedule& w, int i) {
  const DiveState& st = w.st;
  double Ptol = tolerated_pressure(w.PSUMW[i], st.AMIX[i], st.BMIX[i], st.GFLO);
  // Neither the tolerated pressure nor the ceiling is clamped.
  return ceiling_depth(Ptol, st.PAIR, st.RHO, st.GRAV);
}

void GradientFactorPrognosis::stop_start(Schedule& w) {
  // DEEPSTOP is the first stop this schedule has just stored.
  if (w.st.GFFLAG == "S") w.st.GFCUR = gf_line(w.st, w.s);
}

double GradientFactorPrognosis::stop_m_value(const Schedule& w, int i) {
  return m_value(w.Pnext, w.st.AMIX[i], w.st.BMIX[i], w.st.GFCUR);
}

double GradientFactorPrognosis::stop_minutes(const Schedule& w) { return whole_minutes_plus_one(w.T); }

void GradientFactorPrognosis::heading(Schedule& w) {
  write(w.p, R"(" ", " Deko Prognose mit Gradientenfaktoren:", " ", " GFHI= ", F6.2, " GFLO= ", F6.2)",
        {w.st.GFHI, w.st.GFLO});
}

void GradientFactorPrognosis::stop_line(Schedule& w) {
  write(w.p, R"(" ", I2, "m Stopp", " ", "Prognose Dekozeit:", F8.1, " ", " GF = ", F6.2, "  Komp.#: ", I2)",
        {w.printed_depth, w.Tr, w.st.GFCUR, w.lead});
}

void GradientFactorPrognosis::time_to_surface_line(Schedule& w) {
  write(w.p, R"(" ", "TTS = ", F8.1)", {time_to_surface(w.SUM, w.st.DEPTH, w.st.ASCRATE)});
}

void gf_deco_prognosis(DiveState& st, Platform& p) {
  GradientFactorPrognosis gf;
  run_schedule(gf, st, p);
}

}  // namespace orva
