// Coefficient files: a whole coefficient matrix of one gas, prepared by the
// user in the PROT folder (N2COEFF.TXT, F10.TXT, F11.TXT for nitrogen;
// HECOEFF.TXT, F05.TXT, F06.TXT for helium). The system only reads them.
//
// Line 1 is a title (its first 32 characters are read and not used); lines 2
// to 17 hold compartments 1 to 16 in fixed columns:
//   1-4 text, 5-11 half-time F7.2, 12-13 text, 14-19 a F6.4, 20-21 text,
//   22-27 b F6.4, 28-30 text, 31-33 GF high F3.1, 34-35 text, 36-38 GF low F3.1.
// Anything after column 38 and after line 17 is not read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/dive_state.hpp"
#include "platform/platform.hpp"

namespace orva {

enum class Gas { Nitrogen, Helium };

// The files of the coefficient options.
inline constexpr const char* N2COEFF_FILE = "N2COEFF.TXT";
inline constexpr const char* F10_FILE = "F10.TXT";
inline constexpr const char* F11_FILE = "F11.TXT";
inline constexpr const char* HECOEFF_FILE = "HECOEFF.TXT";
inline constexpr const char* F05_FILE = "F05.TXT";
inline constexpr const char* F06_FILE = "F06.TXT";
inline constexpr const char* COEFFICIENT_FILES[] = {N2COEFF_FILE, F10_FILE, F11_FILE,
                                                    HECOEFF_FILE, F05_FILE, F06_FILE};

MatrixView gas_matrix(DiveState& st, Gas gas);

// What one coefficient file holds for its 16 compartments.
struct CoefficientFileData {
  std::string title;
  Comp TAU{}, A{}, B{}, GFHI{}, GFLO{};
};

// The whole file is read and checked before anything of the state changes.
struct CoefficientFileRead {
  enum class Status { NotOpened, Faulty, Good };
  Status status = Status::NotOpened;
  CoefficientFileData data;
  std::string fault;  // Faulty: what is wrong, naming the line and the field
};

// Checks the lines of a coefficient file. A field that is not a number, a
// file that ends before line 17, a half-time that is not positive (0 has no
// rate constant) or a b that is not positive (the M-value divides by it)
// make it faulty.
CoefficientFileRead parse_coefficient_file(const std::vector<std::string>& lines);

// Reads PROT/<file> of the data folder: its first 17 lines only. NotOpened
// when it cannot be opened; a pipe or a device is faulty and not read.
CoefficientFileRead load_coefficient_file(const Platform& p, std::string_view file);

// The one line that tells the diver why a file was not taken.
void write_coefficient_file_fault(Platform& p, std::string_view file, const CoefficientFileRead& read);

// Takes a good file into the matrix of its gas: half-times, a, b, rate
// constants and the per-compartment gradient factors; writes the control
// listing; any factor other than exactly 1.0 sets GFFLAG to "V".
void apply_coefficient_file(DiveState& st, Platform& p, Gas gas, const CoefficientFileData& data);

// The listing after every accepted choice: i, half-time, a, b, rate constant
// (a and b are F7.4 for nitrogen, F6.4 for helium).
void coefficient_test_listing(DiveState& st, Platform& p, Gas gas);

// The copies that CLR restores and W scales.
void save_coefficient_copies(MatrixView m);

}  // namespace orva
