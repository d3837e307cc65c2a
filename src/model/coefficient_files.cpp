#include "model/coefficient_files.hpp"

#include <array>
#include <optional>

#include "model/kernel.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"

namespace orva {
namespace {

constexpr int FILE_LINES = 1 + COMPARTMENTS;
constexpr int TITLE_WIDTH = 32;

// The number fields of a compartment line, in the order of the record.
struct FileField {
  const char* name;  // as the control listing heads its column
  int first_column;  // 1-based
  int w, d;
  Comp CoefficientFileData::*target;
};
constexpr std::array<FileField, 5> FIELDS = {{
    {"TAU", 5, 7, 2, &CoefficientFileData::TAU},
    {"A", 14, 6, 4, &CoefficientFileData::A},
    {"B", 22, 6, 4, &CoefficientFileData::B},
    {"GFHI", 31, 3, 1, &CoefficientFileData::GFHI},
    {"GFLO", 36, 3, 1, &CoefficientFileData::GFLO},
}};

// The characters of a field; a line that ends inside or before the field
// gives a shorter or empty field, which reads as 0 under the input rules.
std::string_view field_text(std::string_view line, const FileField& f) {
  size_t start = static_cast<size_t>(f.first_column - 1);
  if (start >= line.size()) return {};
  return line.substr(start, static_cast<size_t>(f.w));
}

CoefficientFileRead faulty(int line, std::string what) {
  CoefficientFileRead r;
  r.status = CoefficientFileRead::Status::Faulty;
  r.fault = "Zeile " + std::to_string(line) + what;
  return r;
}

std::string field_label(const FileField& f) {
  return ", Feld " + std::string(f.name) + " (Spalten " + std::to_string(f.first_column) + "-" +
         std::to_string(f.first_column + f.w - 1) + ")";
}

// What is wrong with a value that must be positive, after its field label.
std::optional<std::string> not_positive(double v, const FileField& f, const char* what) {
  if (q(v) == 0.0Q) return field_label(f) + ": " + what + " 0";
  if (q(v) < 0.0Q) return field_label(f) + ": " + what + " negativ";
  return std::nullopt;
}

}  // namespace

MatrixView gas_matrix(DiveState& st, Gas gas) { return gas == Gas::Nitrogen ? n2_matrix(st) : he_matrix(st); }

CoefficientFileRead parse_coefficient_file(const std::vector<std::string>& lines) {
  CoefficientFileRead r;
  if (lines.empty()) return faulty(1, " fehlt (Datei leer)");
  r.data.title = parse_text(lines[0], TITLE_WIDTH, TITLE_WIDTH);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    const int line_number = i + 1;
    if (static_cast<size_t>(line_number) > lines.size())
      return faulty(line_number, " fehlt (Datei endet nach Zeile " + std::to_string(lines.size()) + ")");
    const std::string& line = lines[static_cast<size_t>(i)];
    for (const FileField& f : FIELDS) {
      std::optional<double> v = parse_fixed(field_text(line, f), f.w, f.d);
      if (!v) return faulty(line_number, field_label(f) + ": keine Zahl");
      (r.data.*f.target)[i] = *v;
    }
    // A half-time must be positive: 0 has no rate constant, and a negative
    // one would make the compartment grow away from its inspired pressure.
    // So must b: the M-value divides the ambient pressure by it, and a
    // negative b would let the tolerated pressure fall as the tension rises.
    if (std::optional<std::string> fault = not_positive(r.data.TAU[i], FIELDS[0], "Halbwertszeit"))
      return faulty(line_number, *fault);
    if (std::optional<std::string> fault = not_positive(r.data.B[i], FIELDS[2], "b-Wert"))
      return faulty(line_number, *fault);
  }
  r.status = CoefficientFileRead::Status::Good;
  return r;
}

CoefficientFileRead load_coefficient_file(const Platform& p, std::string_view file) {
  // A folder of that name is no file to read: skipped like a missing one.
  // A pipe or a device is not read at all.
  FileLines read = file_read_lines(prot_file(p, file), FILE_LINES);
  if (read.status == FileLines::Status::NotOpened) return {};
  if (read.status == FileLines::Status::NotRegular) {
    CoefficientFileRead r;
    r.status = CoefficientFileRead::Status::Faulty;
    r.fault = NOT_A_REGULAR_FILE;
    return r;
  }
  return parse_coefficient_file(read.lines);
}

void write_coefficient_file_fault(Platform& p, std::string_view file, const CoefficientFileRead& read) {
  write(p, R"(" ", " Datei ", A, ", ", A, " - nichts geaendert!")", {std::string(file), read.fault});
}

void apply_coefficient_file(DiveState& st, Platform& p, Gas gas, const CoefficientFileData& data) {
  MatrixView m = gas_matrix(st, gas);
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    m.TAU[i] = data.TAU[i];
    m.A[i] = data.A[i];
    m.B[i] = data.B[i];
    m.GFHI[i] = data.GFHI[i];
    m.GFLO[i] = data.GFLO[i];
    m.K[i] = rate_constant(m.TAU[i]);
  }

  write(p, gas == Gas::Nitrogen ? R"(" ", "  N2  -  Kontrollausdruck!")" : R"(" ", "  HE  -  Kontrollausdruck!")");
  write(p, R"("===========================", "===========")");
  write(p, R"(" ", " #    TAU      A        B", "    GFHI   GFLO")");
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    write(p, R"(" ", I2, "  ", F7.2, "  ", F6.4, "  ", F6.4, "   ", F3.1, "   ", F3.1)",
          {i, m.TAU[i], m.A[i], m.B[i], m.GFHI[i], m.GFLO[i]});
    // Exact comparisons in binary128; a NaN counts as different.
    if (q(m.GFHI[i]) != 1.0Q) st.GFFLAG = "V";
    if (q(m.GFLO[i]) != 1.0Q) st.GFFLAG = "V";
  }
}

void coefficient_test_listing(DiveState& st, Platform& p, Gas gas) {
  MatrixView m = gas_matrix(st, gas);
  const char* line = gas == Gas::Nitrogen ? R"(" ", I2, " ", F7.2, " ", F7.4, " ", F7.4, " ", F7.4)"
                                          : R"(" ", I2, " ", F7.2, " ", F6.4, " ", F6.4, " ", F7.4)";
  write(p, R"(" ", " Testausdruck: I, TAU, A, B, Lamdba")");
  for (int i = 1; i <= COMPARTMENTS; ++i) write(p, line, {i, m.TAU[i], m.A[i], m.B[i], m.K[i]});
}

void save_coefficient_copies(MatrixView m) {
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    m.TAU_COPY[i] = m.TAU[i];
    m.K_COPY[i] = m.K[i];
  }
}

}  // namespace orva
