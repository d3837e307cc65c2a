#include "model/oxygen_exposure.hpp"

#include <cmath>
#include <string>

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/protocol_append.hpp"

namespace orva {
namespace {

// The NOAA CNS limits: a row applies up to its partial pressure in atm.
struct CnsRow {
  quad atm;      // the binary128 nearest the decimal
  double limit;  // minutes
};
constexpr CnsRow NOAA_CNS_LIMITS[] = {
    {0.70Q, 570}, {0.80Q, 450}, {0.90Q, 360}, {1.00Q, 300}, {1.10Q, 240}, {1.20Q, 210},
    {1.25Q, 195}, {1.30Q, 180}, {1.35Q, 165}, {1.40Q, 150}, {1.45Q, 135}, {1.50Q, 120},
    {1.55Q, 83},  {1.60Q, 45},  {1.70Q, 40},  {1.80Q, 35},  {1.90Q, 30},  {2.00Q, 25},
    {2.10Q, 20},  {2.20Q, 15},  {2.30Q, 13.5}, {2.40Q, 12}, {2.50Q, 10},
};

// Above the last row (2.50 atm) the limit is 5 minutes. The table's own
// bound for that is 2.5001 atm; the narrow band between 2.50 and 2.5001 atm
// has no row and gets the same 5 minutes, not a limit longer than any row.
constexpr double CNS_LIMIT_ABOVE_TABLE = 5.0;

// A bound in atm compared in bar: the binary128 atm value times the double
// nearest 1.01325.
quad cns_bound(quad atm) { return atm * q(1.01325); }

// Below 0.55 atm no CNS is charged.
bool cns_charged(double pO2) { return q(pO2) >= cns_bound(0.55Q); }

}  // namespace

double noaa_cns_limit(double pO2) {
  for (const CnsRow& row : NOAA_CNS_LIMITS)
    if (q(pO2) <= cns_bound(row.atm)) return row.limit;
  return CNS_LIMIT_ABOVE_TABLE;
}

namespace {

// One write statement into the protocol file. A record that does not reach
// the file is lost, but not in silence: the first such failure of the run is
// told on the screen; later records are still tried.
constexpr const char* PROTOCOL_NOT_WRITTEN = R"(" ", " Protokoll ", A, ".TXT nicht geschrieben: ", A)";

void tell_protocol_fault(DiveState& st, Platform& p, const std::optional<std::string>& fault) {
  if (fault && !st.protocol_fault_told) {
    st.protocol_fault_told = true;
    write(p, PROTOCOL_NOT_WRITTEN, {st.PROTNAME, *fault});
  }
}

void file_write(DiveState& st, Platform& p, std::string_view format, std::initializer_list<Value> values) {
  Record rec = format_record(format, values);
  for (const std::string& line : rec.lines) tell_protocol_fault(st, p, st.file->write_record(line));
}

// The protocol file opened, with the words that name what an ending signal
// finds unwritten.
bool open_protocol_file(DiveState& st, Platform& p) {
  if (!st.file->open(prot_file(p, st.PROTNAME + ".TXT"))) return false;
  st.file->set_not_written_line(format_record(PROTOCOL_NOT_WRITTEN, {st.PROTNAME, std::string()}).lines.front());
  return true;
}

// The file stays connected from the protocol start on. When the start could
// not open it, every record tries again; a record that then gets the file
// lands at its end, behind whatever it already holds, without a header.
bool open_protocol(DiveState& st, Platform& p) {
  st.PROTNAME = PROTOCOL_NAME;
  if (st.file->is_open()) return true;
  return open_protocol_file(st, p);
}

void protocol_start(DiveState& st, Platform& p) {
  st.PROTNAME = PROTOCOL_NAME;
  // A missing folder or a file that cannot be opened: no question, no header.
  if (!open_protocol_file(st, p)) return;
  // The input may end at the question: the header is written all the same,
  // with the empty comment, so that the end record that follows belongs to
  // this run's header and not to the run before.
  bool input_ended = false;
  try {
    st.COMMENT = ask_text(p, R"(" ", " Kommentar / Comment: ", $)", 70, 70);
  } catch (const EndOfInput&) {
    st.COMMENT = parse_text("", 70, 70);
    input_ended = true;
  }
  LocalDate date = p.clock_local_date();
  LocalTime time = p.clock_local_time();
  file_write(st, p,
             R"("  ", "Yr: ", I4.4, 1X, "Mon: ", I2.2, 1X, "D: ", I2.2, 1X, "Hr: ", I2.2, 1X, "Min: ", I2.2, "  Version: 3_10     , 09/2023 ")",
             {date.year, date.month, date.day, time.hour, time.minute});
  file_write(st, p, "A70", {st.COMMENT});
  file_write(st, p,
             R"("    ", "TIEFE", "   ", "ZEIT", "   ", "GES.ZEIT", "  ", "N", "    O ", " ", "  ", "HE", "    ", "CNS", "   ", "OTU", "    ", "K CNS", "     ", "K POT", "     ", "GAS")",
             {});
  if (input_ended) throw EndOfInput{};
}

}  // namespace

void protocol_close(DiveState& st, Platform& p) {
  AppendFile::End end = st.file->finish();
  tell_protocol_fault(st, p, end.fault);
  if (!end.unwritten.empty()) {
    const std::size_t lost = p.console_texts_lost();
    write(p, PROTOCOL_NOT_WRITTEN, {st.PROTNAME, kept_records_reason(end.unwritten.size())});
    // A record is no longer kept once the screen shows it: an ending signal
    // until then names it, or appends it, and never one already shown.
    if (p.console_texts_lost() == lost)
      p.console_write_lines_shown(end.unwritten, [&] { st.file->kept_record_shown(); });
    // Where no screen showed them, nobody is left to tell.
    st.file->append_kept_without_turn();
  }
  st.file->close();
}

namespace {

bool recovers_at_surface(char letter) { return letter == 'D' || letter == 'd' || letter == 'E' || letter == 'e'; }

}  // namespace

void protocol_writer(DiveState& st, Platform& p) {
  char letter = st.PROTMODE.empty() ? '\0' : st.PROTMODE[0];
  if (letter == 'S')
    protocol_start(st, p);
  else
    oxygen_exposure_step(st, p, letter);
}

void oxygen_exposure_step(DiveState& st, Platform& p, char letter) {
  const double T = st.TIME;

  // 1. The surface decay constant of CNS.
  const double lambda = rate_constant(st.O2HWZ);
  st.PROTNAME = PROTOCOL_NAME;

  // 2. Ambient pressure, never surcharged here.
  const double RG = pressure_per_metre(st.RHO, st.GRAV);
  const double Pamb = st.DEPTH * RG + st.PAIR;

  // 3. Litres of gas breathed. An ascent is charged at the pressure of the
  // depth difference it covered.
  double GAS = 0.0;
  if (letter == 'A') {
    st.TSTART = st.DIVETIME - T;
    GAS = (((st.MAXDEPTH - st.DEPTH) * RG + st.PAIR) * st.AMV) * T;
  } else if (q(st.DEPTH) > 0.0Q) {
    GAS = (st.AMV * Pamb) * T;
  }

  // 4. Oxygen partial pressure in bar.
  const double pO2 = Pamb * st.FO2;

  // 5. OTU.
  double S_OTU = st.OTU;
  if (q(pO2) >= 0.5Q) {
    double u = to_double(qpow((q(pO2) - 0.5Q) / 0.5Q, 0.83Q));
    S_OTU = st.OTU + u * T;
  }
  st.OTU = round_half_away(S_OTU);

  // 6. CNS per cent; the record shows the whole number.
  double base = st.CNS;
  double S_CNS = st.CNS;
  if (cns_charged(pO2)) {
    double TL = noaa_cns_limit(pO2);
    double c = to_double((100.0Q * q(T)) / q(TL));
    S_CNS = st.CNS + c;
    st.CNS = round_half_away(S_CNS);
    base = st.CNS;
  }

  // 7. Partial pressure in atm.
  const double x = po2_in_atm(pO2);

  // 8. CNS K value.
  const double SQKCNS1 = to_double(q(T) * qpow(q(x), 3.4Q)) + st.SQKCNS;
  const double KCNS1 = to_double(q(SQKCNS1) * q(SQKCNS1));

  // 9. Pulmonary K value, time in hours.
  const quad th = q(T) / 60.0Q;
  const quad pp = qpow(q(x), 2.285Q);
  const double SQKPOT1 = to_double(th * pp) + st.SQKPOT;
  const double KPOT1 = to_double(q(SQKPOT1) * q(SQKPOT1));

  // 10. ESOT, time in minutes.
  const double ESOT1 = to_double(pp * q(T)) + st.ESOT;

  // 11. Highest oxygen partial pressure.
  if (pO2 > st.PO2MAX) st.PO2MAX = pO2;

  // 12. Surface recovery of a surface interval (D) or a pause at the surface (E).
  if (q(st.DEPTH) == 0.0Q && recovers_at_surface(letter)) {
    st.CNS = std::exp(-(lambda * T)) * base;
    S_CNS = st.CNS;
    st.KCNS = std::exp(-(0.079 * T)) * KCNS1;
    st.SQKCNS = to_double(qpow(q(st.KCNS), 0.5Q));
    // The factor 0.079 multiplies the decay; it is not a rate in the exponent.
    st.KPOT = to_double(q(KPOT1) * (qexp(-th) * q(0.079)));
    st.SQKPOT = to_double(qpow(q(st.KPOT), 0.5Q));
    const double m = st.PO2MAX / 1.01325;
    st.ESOT = to_double(q(ESOT1) * qexp((0.21Q - 0.192Q * q(m)) * th));
  } else {
    st.SQKCNS = SQKCNS1;
    st.KCNS = KCNS1;
    st.SQKPOT = SQKPOT1;
    st.KPOT = KPOT1;
    st.ESOT = ESOT1;
  }

  // 13. Pressure times the square root of time.
  st.PRT = std::sqrt(T) * Pamb + st.PRT;

  // 14.-15. The protocol record; skipped when the file cannot be opened.
  if (open_protocol(st, p)) {
    file_write(st, p,
               R"(" ", A1, " ", F6.1, " ", F8.1, " ", F8.1, "  ", F4.2, " ", F4.2, " ", F4.2, " ", F5.0, " ", F6.0, " ", F8.0, " ", F7.0, " ", F9.1)",
               {std::string(1, letter), st.DEPTH, st.TIME, st.DIVETIME, st.FN2, st.FO2, st.FHE, st.CNS, st.OTU,
                st.KCNS, st.KPOT, GAS});
  }

  // 16. The sums keep their unrounded values.
  st.OTU = S_OTU;
  st.CNS = S_CNS;
}

}  // namespace orva
