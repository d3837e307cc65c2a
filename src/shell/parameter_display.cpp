#include "shell/parameter_display.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

void parameter_display(DiveState& st, Platform& p) {
  // Computed for the display only. The ambient pressure has no depth
  // surcharge, whatever BZFLAG says.
  const double Pamb = ambient_pressure(st, st.DEPTH);
  const double po2_bar = Pamb * st.FO2;
  const quad po2_atm = po2_in_atm_q(po2_bar);

  write(p, R"(" ", " physikalische Parameter: ")");
  write(p, R"(" ", " Wasserdichte: ", F8.3, " ", " Wassertemperatur: ", F7.2)", {st.RHO, st.TWATER});
  write(p, R"(" ", " Luftdruck:  ", F6.3, " ", "     Beschl.konstante:   ", F7.5, /)", {st.PAIR, st.GRAV});

  write(p, R"(" ", " Atemgas Parameter: ")");
  write(p, R"(" ", " fO2: ", F8.4, " ", " fHe: ", F8.4, " ", " fN2: ", F8.4)", {st.FO2, st.FHE, st.FN2});
  write(p, R"(" ", " pO2:   ", F7.5, " [bar] ", " |  [atm]: ", F7.5, /)", {po2_bar, po2_atm});

  write(p, R"(" ", " O2-Intoxikationsparameter: ")");
  write(p, R"(" ", " NOAA %CNS: ", F8.1, " ", " OTU: ", F8.1)", {st.CNS, st.OTU});
  write(p, R"(" ", " K Values  CNS-OT: ", F10.0, " ", " ", " P-OT: ", F7.0, " ", " ESOT: ", F7.2, /)",
        {st.KCNS, st.KPOT, st.ESOT});

  write(p, R"(" ", " Tauch-Profil Parameter: ")");
  write(p, R"(" ", " aktuelle Tiefe: ", F6.2, "  aktuelle Zeit:      ", F8.1)", {st.DEPTH, st.TIME});
  write(p,
        R"(" ", " max. Tiefe=     ", F6.2, " ", " Summe aller Zeiten= ", F8.1, " ", " Aufstiegsgeschwindigkeit: ", F6.3)",
        {st.MAXDEPTH, st.DIVETIME, st.ASCRATE});
  write(p, R"(" ", " tiefster Stopp: ", F6.2, "  letzter Stopp: ", F4.1, /)", {st.DEEPSTOP, st.LASTSTOP});

  write(p, R"(" ", " Physiologische Parameter: ")");
  write(p, R"(" ", " SAC [l/min]: ", F4.1, " ", " respr. quotient: ", F6.3, " ", " VO2: ", F6.3, " ", " PRT= ", F5.1, /)",
        {st.AMV, st.RQ, st.VO2, st.PRT});

  write(p, R"(" ", " GLOBALE PARAMETER: ")");
  write(p, R"(" ", " N2 Koeff.-Matrix: ", A10, " He Koeff.-Matrix: ", A10)", {st.N2MATRIX, st.HEMATRIX});
  write(p, R"(" ", " Gradientenfaktoren: ", " GFHI= ", F6.2, "  GFLO= ", F6.2)", {st.GFHI, st.GFLO});
  write(p, R"(" ", " Buehlmann Zuschlag:  ", A1, "     ", " ", " numerische Loesung: ", A4)", {st.BZFLAG, st.NUMFLAG});
  // The format holds one more field than there are values: the record ends
  // after its last text, and no empty line follows.
  write(p,
        R"(" ", " Konversions Faktor USN STD 1 Bar:  ", F10.5, " fsw @ 15 deg Celsius!", /,)"
        R"x(" ", " Konversions Faktor aktuell: 1 Bar= ", F10.5, " fsw (feet of seawater)", F10.5, /)x",
        {st.FSWBAR, fsw_per_bar(st.FTPERM, st.RHO, st.GRAV)});

  write(p, R"(" ", "        ... weiter mit: ENTER", /, /)");
  wait_enter(p);

  write(p,
        R"(" ", " Comp.#", " ", " pN2 [Bar]", " ", "   pHe [Bar]", " ", " pN2 + pHe", " ", " Ceiling [m]", " ", "   Pamb,tol [Bar]", /)");
  for (int i = 1; i <= COMPARTMENTS; ++i)
    write(p,
          R"(" ", " Nr.: ", I2, F7.4, " P N2 ", F7.4, " P HE", " Sum.= ", F7.4, " Ceil. m= ", F6.2, " Putol: ", F6.3)",
          {i, st.PN2[i], st.PHE[i], st.PSUM[i], st.CEILM[i], st.PAMBTOL[i]});
}

}  // namespace orva
