#include "shell/help_screen.hpp"

#include <array>

#include "platform/console.hpp"

namespace orva {
namespace {

// One record per line: the title, a line per command and, as line 26, the
// pause line. The ranges some lines name are texts only.
constexpr std::array<const char*, 54> HELP_LINES = {
    R"f(" ", "  ORVA Version 3_10:      09/2023")f",
    R"f(" ", " ?    = Info zum Programm")f",
    R"f(" ", " HELP = Info zum Programm")f",
    R"f(" ", " Q    = Programm Ende (QUIT)")f",
    R"f(" ", " EX   = Programm Ende (EXIT)")f",
    R"f(" ", " D    = ORVA: Eingabe von Tauchtiefe und Tauchzeit")f",
    R"f(" ", " A    = Aufstieg: Eingabe der Austauchstufe", " (Dekompressionsstopptiefe)")f",
    R"f(" ", " E    = Entsaettigung: Berechnung der Deko", "mpressionszeit (Stoppzeit)")f",
    R"f(" ", " O    = OFP: Entsaettigungszeit & Zeit bis Flug")f",
    R"f(" ", " Z    = Zeige: die aktuellen Parameter- u.", " Kompartiment-Werte")f",
    R"f(" ", " F    = Filename fuer Kompartiment-Protokoll")f",
    R"f(" ", " N    = Nullzeiten fuer Wdh-TG", " (Wiederholungs-Tauchgang)")f",
    R"f(" ", " T    = NDL - TABELLE: komplette NoDecoLimits")f",
    R"f(" ", " P    = Plotten der Kompartimentsaettigungen")f",
    R"f(" ", " M    = MIX: Veraenderung des Atemgemisches")f",
    R"f(" ", " V    = Verbrauch: Aenderung des AMV, 25 L/min.")f",
    R"f(" ", " R    = Respiratorischer Quotient, 0.5 < Rq < 1.5")f",
    R"f(" ", " W    = Sauerstoffverbrauch, 0.25 < VO2 ", "< 3 L/min.")f",
    R"f(" ", " L    = Umgebungsluftdruck fuer Bergseetauchen")f",
    R"f(" ", " S    = SIMULATION der Austauchszenarien")f",
    R"f(" ", " PMRC = Dekoprognose nach DAN DSL/PMRC")f",
    R"f(" ", " NC   = N2 Koeffizienten")f",
    R"f(" ", " HC   = HE Koeffizienten")f",
    R"f(" ", " ASY  = asymmetrische Entsaettigung (nach NEDU)")f",
    R"f(" ", " OC   = Oxygen Correctionfactor (nach NMRC)")f",
    R"f(" ", "        ... weiter mit ENTER")f",
    R"f(" ", " O2   = O2 Halbwertszeit, 45 < 02HWZ < 240 min", " (nach NOAA)")f",
    R"f(" ", " RL   = Rechts-/Links Shunt Korrektur")f",
    R"f(" ", " B    = Buehlmann Tabellenkorrektur")f",
    R"f(" ", " LS   = Last Stop: letzte Stopp Tiefe,", " 1.5 < LS <= 9.0 m")f",
    R"f(" ", " GF   = Gradienten Faktoren GF Hi / Lo,", " 0 < GF <= 1.0")f",
    R"f(" ", " AR   = Ascent Rate, Aufstiegsrate: 0.05 < AR", " < 240.0 m / min")f",
    R"f(" ", " AD   = Accelerated Deco (beschleunigte", " Dekompression mit EAN50, EAN75, EAN98)")f",
    R"f(" ", " TA   = Temperatur Adaption, in 2 Stufe", "n: kuehl <--> kalt")f",
    R"f(" ", " MX   = aktuelle Koeffizientenmatrix", ", gewichtet fuer Mischgas")f",
    R"f(" ", " LAT  = Latency: Verzoegerung bei Gaswechsel")f",
    R"f(" ", " DI   = Anpassung der Dichte: Suess-/ Salzwasser")f",
    R"f(" ", " TE   = Anpassung der (Wasser-) Temperatur")f",
    R"f(" ", " RS   = RGBM Simulator, reduction factors", ", CHI 1 - CHI 3")f",
    R"f(" ", " ON   = numerische Loesung EIN")f",
    R"f(" ", " OFF  = numerische Loesung AUS")f",
    R"f(" ", " PDCS = P(DCS), DCS Probability")f",
    R"f(" ", " BPA  = (NMRI) BOX PROFILE AIR!")f",
    R"f(" ", " RE   = Risk Estimators (nur: EOD und OTF!)")f",
    R"f(" ", " %P   = Prozent-Plot, nach: DAN DRA", " fuer Luft/EANx")f",
    R"f(" ", " BP   = Ball Park, Daumenwerte")f",
    R"f(" ", " TBM  = Tunnel Bohr Maschine")f",
    R"f(" ", " HM   = HEAT MAP, fuer TMX/Trimix")f",
    R"f(" ", " CP   = COMEX Procedure fuer BOUNCE DIVES!")f",
    R"f(" ", " SAT  = MT92, N-15 und", " USN Prozeduren fuer SAT DIVES", " (1991 & 2018!)")f",
    R"f(" ", " K    = K Value Plan fuer CNS-OT", " & P-OT")f",
    R"f(" ", " DS   = deco stress indicators ", " PrT & I (DCIEM)")f",
    R"f(" ", " CLR  = Clear, Initialisierung aller", " Variabeln!")f",
    R"f(" ", " !    = zurueck ins Windows")f",
};

constexpr size_t PAUSE_AFTER_LINE = 26;

}  // namespace

void help_screen(DiveState&, Platform& p) {
  for (size_t i = 0; i < HELP_LINES.size(); ++i) {
    write(p, HELP_LINES[i]);
    if (i + 1 == PAUSE_AFTER_LINE) wait_enter(p);
  }
}

}  // namespace orva
