#include "shell/state_file.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/coefficient_files.hpp"
#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/format.hpp"
#include "shell/gas_settings.hpp"

namespace orva {
namespace {

// The name field: a shorter name keeps its trailing blanks in the file name.
constexpr int NAME_WIDTH = 8;
constexpr size_t STATE_FILE_LINES = 22;

// The typed name stays inside the PROT folder: no folder separators and no
// way up. Such a name is treated like one that cannot be opened.
bool name_stays_in_prot(const std::string& name) {
  return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
         name.find("..") == std::string::npos && name.find('\0') == std::string::npos;
}

// A name with control characters (an escape sequence, say) names a file no
// diver could find again by its name: it is refused.
bool has_control_characters(const std::string& name) {
  return std::any_of(name.begin(), name.end(), is_control_character);
}

// The files the program keeps for itself in the PROT folder: a state file
// must never replace them. Compared without regard to case, as the data
// folder may not tell the cases apart.
bool kept_by_the_system(const std::string& file_name) {
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  const std::string name = upper(file_name);
  if (name == std::string(PROTOCOL_NAME) + ".TXT") return true;
  for (const char* file : COEFFICIENT_FILES)
    if (name == file) return true;
  return false;
}

std::string record(std::string_view format, std::initializer_list<Value> values) {
  return format_record(format, values).lines.front();
}

std::vector<std::string> state_lines(const DiveState& st) {
  std::vector<std::string> lines;
  lines.push_back(record(R"(" ", 1X, "- - - - - - - - - - - - - - - - - - - - - - - -")", {}));
  lines.push_back(record(
      R"(" ", "Luftdruck: ", F5.3, " ", "AMV: ", F4.1, " ", "RQ: ", F5.3, " ", "O2: ", F5.3, " ", "He: ", F4.3, " ", " ", " AR: ", F6.2, " VO2: ", F4.2)",
      {st.PAIR, st.AMV, st.RQ, st.FO2, st.FHE, st.ASCRATE, st.VO2}));
  lines.push_back(record(
      R"(" ", "CNS: ", F7.1, " ", "OTU: ", F7.1, " K CNS-OT: ", F8.0, " K P-OT: ", F7.0, "  PRT: ", F5.1)",
      {st.CNS, st.OTU, st.KCNS, st.KPOT, st.PRT}));
  lines.push_back(record(
      R"(" ", "Korrektur: ", A1, " GFHI= ", F6.2, " GFLO= ", F6.2, " LAST STOP= ", F4.1, " m", " First Stop = ", F4.1, " m")",
      {st.BZFLAG, st.GFHI, st.GFLO, st.LASTSTOP, st.DEEPSTOP}));
  lines.push_back(record(
      R"(" ", "Tiefe: ", F6.2, "    Zeit: ", F8.1, " max. Tiefe= ", F6.2, " ges. Tauchzeit= ", F8.1)",
      {st.DEPTH, st.TIME, st.MAXDEPTH, st.DIVETIME}));
  lines.push_back(record(R"(" ", "  berechnete Kompartimentwerte:")", {}));
  for (int i = 1; i <= COMPARTMENTS; ++i)
    lines.push_back(record(
        R"(" ", " Nr.: ", I2, F7.4, " P N2", F7.4, " P He", " Sum.= ", F7.4, " Ceil. m= ", F5.2, " Putol: ", F6.3)",
        {i, st.PN2[i], st.PHE[i], st.PSUM[i], st.CEILM[i], st.PAMBTOL[i]}));
  return lines;
}

// A file with helium brings its own nitrogen fraction. Without helium the
// nitrogen fraction in memory stays, so that the start gas keeps its 0.7902
// although its oxygen comes back with three decimals only; but when it does
// not belong to the oxygen of the file (a nitrox dive read in a new program
// start would go on with the nitrogen of air), it is computed from the file
// as well. The three-decimal fields of FO2 and FHE together are off by at
// most 0.001.
constexpr quad FRACTIONS_ROUNDING = 0.0011Q;

bool nitrogen_fits(double FO2, double FHE, double FN2) {
  quad rest = 1.0Q - q(FO2) - q(FHE) - q(FN2);
  return rest <= FRACTIONS_ROUNDING && rest >= -FRACTIONS_ROUNDING;
}

// Whether R computes the nitrogen fraction from the oxygen and helium of the
// file, rather than keeping the one in memory. Only where oxygen and helium
// leave room for it, as the gas question demands: after BP (oxygen 0.2 with
// the helium kept) the fractions need not add up, and the nitrogen in memory
// stays then, as it stays beside a file without helium.
bool nitrogen_from_the_file(double FO2, double FHE, double FN2) {
  return (q(FHE) > 0.0Q || !nitrogen_fits(FO2, FHE, FN2)) && leaves_room_for_nitrogen(FO2, FHE);
}

// What R refuses. Every value of the file is stored as read, however far it
// lies outside what the settings questions accept, unless a later command
// could not compute with it: it would divide by zero, take a logarithm or a
// root of a value that is not positive, or breathe a negative gas fraction.
// Each rule names the computation it protects.
namespace refused {

// RE, BPA and PDCS divide by the air pressure, and m_value by the b that the
// M0/dM sets of NC derive from it; below 0 the oxygen step at the surface
// (D at 0 m, the program end) raises a negative oxygen partial pressure to
// the powers of the K values.
bool air_pressure(double PAIR) { return !(q(PAIR) > 0.0Q); }

// The alveolar carbon-dioxide term divides by RQ.
bool respiratory_quotient(double RQ) { return q(RQ) == 0.0Q; }

// The maximum operating depths of T and P divide by FO2; a negative fraction
// gives a negative oxygen partial pressure, which the oxygen step raises to
// the powers of the K values.
bool oxygen_fraction(double FO2) { return !(q(FO2) > 0.0Q); }

// A negative fraction, breathed as a negative helium pressure.
bool helium_fraction(double FHE) { return q(FHE) < 0.0Q; }

// A divides the depth it rises by the rate, the prognoses divide their 3-m
// moves and times to surface by it; below 0 the ascent time of A is negative
// and the oxygen step takes its root (PRT).
bool ascent_rate(double ASCRATE) { return !(q(ASCRATE) > 0.0Q); }

// The gradient-factor forms of the tolerated pressure and the M-value divide
// by GF - GF x b + b. With a b between 0 and 1, as in the built-in sets, that
// is b or more for a factor of 0 or more, and 0 at the negative factor
// -b / (1 - b): -15 for the b 0.9375 of MT92.
bool gradient_factor(double GF) { return q(GF) < 0.0Q; }

// D and A never go above the surface. Above it the ambient pressure
// depth x RG + PAIR turns negative once the depth outweighs the air pressure
// (also after a lower L or a denser DI), and the oxygen step of E raises the
// negative oxygen partial pressure to the powers of the K values.
bool depth(double DEPTH) { return q(DEPTH) < 0.0Q; }

// DS takes the root of the time of the last segment.
bool segment_time(double TIME) { return q(TIME) < 0.0Q; }

// DS raises its ascent time MAXDEPTH / ASCRATE + 1 to the power 0.3 and
// divides by the power, RS divides by MAXDEPTH / 10 + 1: below 0 m either
// reaches 0 or less (with the rate of the file, or a slow one of AR).
bool maximum_depth(double MAXDEPTH) { return q(MAXDEPTH) < 0.0Q; }

// The mixture weights the coefficients of the two gases by the shares of the
// tensions in their sum: tensions of opposite signs give shares beyond 0 and
// 1, with which the mixed b or rate constant can come out 0 (0.4245 and
// -0.5050 bar give a b of 0 with ZH-L 16C), and m_value and time_to_limit
// divide by them. Two tensions of 0 give no shares at all, as in memory
// after a long stay on oxygen, where the dive goes on with them: a file of
// such a dive, whose tensions the four decimals round to 0, is read back.
bool tensions(double PN2, double PHE) {
  const quad n2 = q(PN2), he = q(PHE);
  return (n2 < 0.0Q && he > 0.0Q) || (n2 > 0.0Q && he < 0.0Q);
}

}  // namespace refused

// A numeric field of a state file line, by its first column (counted from 1).
struct Field {
  const char* name;
  int column, w, d;
  double DiveState::*value;
  bool (*refused)(double value) = nullptr;
};

const std::vector<Field> LINE2 = {{"PAIR", 13, 5, 3, &DiveState::PAIR, refused::air_pressure},
                                  {"AMV", 24, 4, 1, &DiveState::AMV},
                                  {"RQ", 33, 5, 3, &DiveState::RQ, refused::respiratory_quotient},
                                  {"FO2", 43, 5, 3, &DiveState::FO2, refused::oxygen_fraction},
                                  {"FHE", 53, 4, 3, &DiveState::FHE, refused::helium_fraction},
                                  {"ASCRATE", 64, 6, 2, &DiveState::ASCRATE, refused::ascent_rate},
                                  {"VO2", 76, 4, 2, &DiveState::VO2}};
const std::vector<Field> LINE3 = {{"CNS", 7, 7, 1, &DiveState::CNS},
                                  {"OTU", 20, 7, 1, &DiveState::OTU},
                                  {"KCNS", 38, 8, 0, &DiveState::KCNS},
                                  {"KPOT", 55, 7, 0, &DiveState::KPOT},
                                  {"PRT", 69, 5, 1, &DiveState::PRT}};
const std::vector<Field> LINE4 = {{"GFHI", 21, 6, 2, &DiveState::GFHI, refused::gradient_factor},
                                  {"GFLO", 34, 6, 2, &DiveState::GFLO, refused::gradient_factor},
                                  {"LASTSTOP", 52, 4, 1, &DiveState::LASTSTOP},
                                  {"DEEPSTOP", 72, 4, 1, &DiveState::DEEPSTOP}};
constexpr int BZFLAG_COLUMN = 13;
const std::vector<Field> LINE5 = {{"DEPTH", 9, 6, 2, &DiveState::DEPTH, refused::depth},
                                  {"TIME", 25, 8, 1, &DiveState::TIME, refused::segment_time},
                                  {"MAXDEPTH", 46, 6, 2, &DiveState::MAXDEPTH, refused::maximum_depth},
                                  {"DIVETIME", 69, 8, 1, &DiveState::DIVETIME}};

struct CompField {
  const char* name;
  int column, w, d;
  Comp TissueCompartments::*value;
  bool completes_tensions = false;  // the pair PN2, PHE is checked (and named) here
};
// The compartment number in columns 8-9 is read as a number but not used:
// the line's place decides the compartment.
constexpr int NUMBER_COLUMN = 8, NUMBER_WIDTH = 2;
const std::vector<CompField> COMPARTMENT_LINE = {{"PN2", 10, 7, 4, &TissueCompartments::PN2},
                                                 {"PHE", 22, 7, 4, &TissueCompartments::PHE, true},
                                                 {"PSUM", 41, 7, 4, &TissueCompartments::PSUM},
                                                 {"CEILM", 58, 5, 2, &TissueCompartments::CEILM},
                                                 {"PAMBTOL", 71, 6, 3, &TissueCompartments::PAMBTOL}};

// The text of a line from a column on; blanks when the line is shorter.
std::string_view from_column(const std::string& line, int column) {
  size_t start = static_cast<size_t>(column - 1);
  return start < line.size() ? std::string_view(line).substr(start) : std::string_view();
}

// What went wrong in a state file: the line (1 to 22) and, for a field, its
// name and columns.
struct ReadFault {
  enum class Kind { MissingLine, NotANumber, Refused };
  Kind kind;
  size_t line;
  std::string field;
  int first = 0, last = 0;
};

// Reads lines 2 to 22 into a copy of the state; the state itself is only
// replaced when every line and every field was read.
std::optional<ReadFault> read_state_lines(const std::vector<std::string>& lines, DiveState& st) {
  // Line 1 is there, or the read would not have come this far.
  if (lines.size() < STATE_FILE_LINES) return ReadFault{ReadFault::Kind::MissingLine, lines.size() + 1, "", 0, 0};

  auto read_fields = [&](size_t n, const std::vector<Field>& fields) -> std::optional<ReadFault> {
    for (const Field& f : fields) {
      std::optional<double> v = parse_fixed(from_column(lines[n - 1], f.column), f.w, f.d);
      const int last = f.column + f.w - 1;
      if (!v) return ReadFault{ReadFault::Kind::NotANumber, n, f.name, f.column, last};
      if (f.refused && f.refused(*v)) return ReadFault{ReadFault::Kind::Refused, n, f.name, f.column, last};
      st.*f.value = *v;
    }
    return std::nullopt;
  };
  if (auto fault = read_fields(2, LINE2)) return fault;
  if (auto fault = read_fields(3, LINE3)) return fault;
  // Any character is taken as the switch, as written.
  st.BZFLAG = parse_text(from_column(lines[3], BZFLAG_COLUMN), 1, 1);
  if (auto fault = read_fields(4, LINE4)) return fault;
  if (auto fault = read_fields(5, LINE5)) return fault;
  // Line 6 is a title only.
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    const size_t n = 6 + static_cast<size_t>(i);
    const std::string& line = lines[n - 1];
    if (!parse_integer(from_column(line, NUMBER_COLUMN), NUMBER_WIDTH))
      return ReadFault{ReadFault::Kind::NotANumber, n, "Nr.", NUMBER_COLUMN, NUMBER_COLUMN + NUMBER_WIDTH - 1};
    for (const CompField& f : COMPARTMENT_LINE) {
      const std::string name = std::string(f.name) + "(" + std::to_string(i) + ")";
      std::optional<double> v = parse_fixed(from_column(line, f.column), f.w, f.d);
      if (!v) return ReadFault{ReadFault::Kind::NotANumber, n, name, f.column, f.column + f.w - 1};
      (st.*f.value)[static_cast<size_t>(i)] = *v;
      if (f.completes_tensions && refused::tensions(st.PN2[i], st.PHE[i]))
        return ReadFault{ReadFault::Kind::Refused, n, name, f.column, f.column + f.w - 1};
    }
  }
  return std::nullopt;
}

// One line of its own below the open W/R question.
void write_file_line(Platform& p, const std::string& file_name, const std::string& what) {
  write(p, R"(/, " ", " Datei ", A, A)", {file_name, what});
}

std::string field_fault(const ReadFault& fault, const std::string& why) {
  return format_record(R"(": Zeile ", I2, ", ", A, " (Spalten ", I2, "-", I2, ") ", A)",
                       {static_cast<int>(fault.line), fault.field, fault.first, fault.last, why})
      .lines.front();
}

void write_read_fault(Platform& p, const std::string& file_name, const ReadFault& fault) {
  if (fault.kind == ReadFault::Kind::MissingLine)
    write_file_line(p, file_name,
                    format_record(R"(": Zeile ", I2, " fehlt - nichts geladen!")", {static_cast<int>(fault.line)})
                        .lines.front());
  else
    write_file_line(p, file_name,
                    field_fault(fault, fault.kind == ReadFault::Kind::Refused ? "unzulaessig - nichts geladen!"
                                                                              : "keine Zahl - nichts geladen!"));
}

// W writes only what R takes back as it was written: the lines are read
// back before anything is written, and a field that does not fit its
// columns or holds a value R refuses stops the write.
std::optional<std::string> unreadable_field(const DiveState& st, const std::vector<std::string>& lines) {
  DiveState probe = st;
  std::optional<ReadFault> fault = read_state_lines(lines, probe);
  if (!fault) return std::nullopt;
  const std::string text = lines[fault->line - 1].substr(static_cast<size_t>(fault->first - 1),
                                                          static_cast<size_t>(fault->last - fault->first + 1));
  const char* why = fault->kind == ReadFault::Kind::Refused ? "unzulaessig"
                    : text.find('*') != std::string::npos  ? "zu breit"
                                                           : "keine Zahl";
  return field_fault(*fault, std::string(why) + " - nichts gespeichert!");
}

enum class Outcome { Done, AskNameAgain };

Outcome write_state_file(const DiveState& st, Platform& p, const std::filesystem::path& path,
                         const std::string& file_name) {
  const std::vector<std::string> lines = state_lines(st);
  if (std::optional<std::string> fault = unreadable_field(st, lines)) {
    write_file_line(p, file_name, *fault);
    return Outcome::Done;
  }
  // Without the PROT folder there are no state files, as there is no
  // protocol: the name is asked again in silence.
  FileWrite written = file_replace(path, lines);
  if (written.status == FileWrite::Status::Written) return Outcome::Done;
  if (written.status == FileWrite::Status::Failed)
    write_file_line(p, file_name, ": " + written.reason + " - nichts gespeichert!");
  return Outcome::AskNameAgain;
}

Outcome read_state_file(DiveState& st, Platform& p, const std::filesystem::path& path, const std::string& file_name) {
  // Opened with status open-or-create: a missing file is created empty.
  FileLines file = file_read_lines(path, STATE_FILE_LINES, true);
  if (file.status == FileLines::Status::NotRegular)
    write_file_line(p, file_name, std::string(": ") + NOT_A_REGULAR_FILE + " - nichts geladen!");
  if (file.status != FileLines::Status::Read || file.lines.empty()) return Outcome::AskNameAgain;
  const std::vector<std::string>& lines = file.lines;

  DiveState read = st;
  if (std::optional<ReadFault> fault = read_state_lines(lines, read)) {
    write_read_fault(p, file_name, *fault);
    return Outcome::Done;
  }
  if (nitrogen_from_the_file(read.FO2, read.FHE, read.FN2)) read.FN2 = to_double((1.0Q - q(read.FHE)) - q(read.FO2));
  // The mixed coefficients are not in the file. A run that has not mixed
  // them yet gets them from the restored tensions, as D mixes its new ones;
  // otherwise they stay as the last command of the run left them.
  if (mixture_not_yet_computed(read))
    for (int i = 1; i <= COMPARTMENTS; ++i) {
      const MixedCoefficients mix = mixture_coefficients(read, i);
      read.AMIX[i] = mix.a;
      read.BMIX[i] = mix.b;
    }
  st = read;
  return Outcome::Done;
}

}  // namespace

void state_file(DiveState& st, Platform& p) {
  while (true) {
    write(p, R"(" ", " Filename = ?", $)");
    const std::string typed = read_line(p);
    const int n = static_cast<int>(typed.size());
    const std::string SFNAME = parse_text(typed, n, NAME_WIDTH);
    write(p, R"(" ", A8, "     ", I5)", {SFNAME, n});

    write(p, R"(" ", " WRITE = W, READ = R ?", $)");
    const std::string answer = parse_text(read_line(p), 1, 1);
    const bool writing = answer == "W" || answer == "w";
    const bool reading = answer == "R" || answer == "r";
    if (!writing && !reading) return;

    if (!name_stays_in_prot(SFNAME)) continue;
    if (has_control_characters(SFNAME)) {
      write(p, R"(/, " ", " Dateiname mit Steuerzeichen - anderer Name!")");
      continue;
    }
    const std::string file_name = SFNAME + ".TXT";
    if (kept_by_the_system(file_name)) {
      write_file_line(p, file_name, " gehoert dem Programm - anderer Name!");
      continue;
    }
    const std::filesystem::path path = prot_file(p, file_name);
    Outcome outcome = writing ? write_state_file(st, p, path, file_name) : read_state_file(st, p, path, file_name);
    if (outcome == Outcome::Done) return;
  }
}

}  // namespace orva
