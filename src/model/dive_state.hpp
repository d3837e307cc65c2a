// The one state of the system: environment, gas, physiology, profile
// position, the 16 tissue compartments of nitrogen and helium, the two
// coefficient matrices, gradient factors, oxygen exposure, switches and the
// protocol file. The command shell owns the one instance and hands it to
// every handler by reference.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/protocol_append.hpp"

namespace orva {

// One value per compartment. Compartments are numbered 1 to 16 as the diver
// sees them; element 0 is not used.
using Comp = std::array<double, 17>;
constexpr int COMPARTMENTS = 16;

struct PhysicalParameters {
  double RHO = 0, GRAV = 0, TWATER = 0, PAIR = 0;
  double FTPERM = 0, FSWBAR = 0;
};

struct BreathingGas {
  double FO2 = 0, FHE = 0, FN2 = 0;
};

struct PhysiologicalParameters {
  double AMV = 0, RQ = 0, VO2 = 0;
};

struct ProfilePosition {
  double DEPTH = 0, TIME = 0, DIVETIME = 0, MAXDEPTH = 0, TSTART = 0;
};

struct AscentSettings {
  double ASCRATE = 0, LASTSTOP = 0, DEEPSTOP = 0;
};

struct TissueCompartments {
  Comp PN2{}, PHE{}, PSUM{}, PAMBTOL{}, CEILM{}, AMIX{}, BMIX{};
  double PIHE = 0;
};

struct CoefficientMatrices {
  std::string N2MATRIX = std::string(10, '\0');
  std::string HEMATRIX = std::string(10, '\0');
  Comp TAUN2{}, KN2{}, AN2{}, BN2{}, TAUN2_COPY{}, KN2_COPY{}, GFHI_N2{}, GFLO_N2{};
  Comp TAUHE{}, KHE{}, AHE{}, BHE{}, TAUHE_COPY{}, KHE_COPY{}, GFHI_HE{}, GFLO_HE{};
};

struct GradientFactors {
  double GFHI = 0, GFLO = 0, GFCUR = 0;
};

struct OxygenExposure {
  double OTU = 0, CNS = 0, O2HWZ = 0;
  double SQKCNS = 0, KCNS = 0, SQKPOT = 0, KPOT = 0;
  double ESOT = 0, PRT = 0, PO2MAX = 0;
};

struct ModeSwitches {
  std::string BZFLAG = std::string(1, '\0');   // "N" / "Y"
  std::string GFFLAG = std::string(1, '\0');   // "N" / "S" / "V"
  std::string NUMFLAG = std::string(4, '\0');  // "OFF " / "ON  "
  std::string LATENCY = std::string(1, '\0');  // "N" / "Y"
};

struct ProtocolFileState {
  std::string PROTMODE = std::string(1, '\0');
  std::string PROTNAME = std::string(8, '\0');
  std::string COMMENT = std::string(70, '\0');
  // The protocol file, connected from the protocol start to the program end.
  std::shared_ptr<AppendFile> file = std::make_shared<AppendFile>();
  // A failed protocol write is told once a run.
  bool protocol_fault_told = false;
};

struct DiveState : PhysicalParameters,
                   BreathingGas,
                   PhysiologicalParameters,
                   ProfilePosition,
                   AscentSettings,
                   TissueCompartments,
                   CoefficientMatrices,
                   GradientFactors,
                   OxygenExposure,
                   ModeSwitches,
                   ProtocolFileState {
  // The command buffer of the shell: four zero characters at load.
  std::string CMD = std::string(4, '\0');

  // The step counts of the numeric prognosis, per compartment: the step of
  // its last successful search. Zero at load; neither CLR nor the state file
  // touches them, so they carry over from one prognosis to the next.
  Comp NUMSTEPS{};

  // The values at load: every field zero except the start coefficient set.
  DiveState();
};

// A coefficient matrix seen as one, for code that treats both gases alike.
struct MatrixView {
  std::string& name;
  Comp &TAU, &K, &A, &B, &TAU_COPY, &K_COPY, &GFHI, &GFLO;
};
MatrixView n2_matrix(DiveState& st);
MatrixView he_matrix(DiveState& st);

class Platform;

// Runs once per program, before the first reset.
void one_time_startup(DiveState& st);

// At program start and at CLR.
void reset_dive_state(DiveState& st, Platform& p);

// AMIX and BMIX hold the 0 of the program load until a command first mixes
// the coefficients (D, E, A, MX, a prognosis, a no-decompression table); CLR
// keeps them. Every mixture of the coefficient sets has a b above 0, so all
// of them still 0 tell a run that has not mixed them yet.
bool mixture_not_yet_computed(const DiveState& st);

}  // namespace orva
