#include "model/dive_state.hpp"

#include "model/kernel.hpp"
#include "model/oxygen_exposure.hpp"

namespace orva {
namespace {

// The coefficient set held at load (ZH-L 16C, option 1 of NC and HC).
struct StartRow {
  double TAUN2, AN2, BN2, TAUHE, AHE, BHE;
};
constexpr StartRow START_SET[COMPARTMENTS] = {
    {4.0, 1.2599, 0.505, 1.51, 1.7424, 0.4245},    {8.0, 1.0, 0.6514, 3.02, 1.383, 0.5747},
    {12.5, 0.8618, 0.7222, 4.72, 1.1919, 0.6527},  {18.5, 0.7562, 0.7825, 6.99, 1.0458, 0.7223},
    {27.0, 0.62, 0.8126, 10.21, 0.922, 0.7852},    {38.3, 0.5043, 0.8434, 14.48, 0.8205, 0.7957},
    {54.3, 0.441, 0.8693, 20.53, 0.7305, 0.8279},  {77.0, 0.4, 0.891, 29.11, 0.6502, 0.8553},
    {109.0, 0.375, 0.9092, 41.2, 0.595, 0.8757},   {146.0, 0.35, 0.9222, 55.19, 0.5545, 0.8903},
    {187.0, 0.3295, 0.9319, 70.69, 0.5333, 0.8997}, {239.0, 0.3065, 0.9403, 90.34, 0.5189, 0.9073},
    {305.0, 0.2835, 0.9477, 115.29, 0.5181, 0.9122}, {390.0, 0.261, 0.9544, 147.42, 0.5176, 0.9171},
    {498.0, 0.248, 0.9602, 188.24, 0.5172, 0.9217}, {635.0, 0.2327, 0.9653, 240.03, 0.5119, 0.9267},
};

}  // namespace

DiveState::DiveState() {
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    const StartRow& r = START_SET[i - 1];
    TAUN2[i] = r.TAUN2;
    AN2[i] = r.AN2;
    BN2[i] = r.BN2;
    TAUHE[i] = r.TAUHE;
    AHE[i] = r.AHE;
    BHE[i] = r.BHE;
  }
}

MatrixView n2_matrix(DiveState& st) {
  return {st.N2MATRIX, st.TAUN2, st.KN2, st.AN2, st.BN2, st.TAUN2_COPY, st.KN2_COPY, st.GFHI_N2, st.GFLO_N2};
}

MatrixView he_matrix(DiveState& st) {
  return {st.HEMATRIX, st.TAUHE, st.KHE, st.AHE, st.BHE, st.TAUHE_COPY, st.KHE_COPY, st.GFHI_HE, st.GFLO_HE};
}

void one_time_startup(DiveState& st) {
  st.N2MATRIX = "ZH-L 16C  ";
  st.HEMATRIX = "ZH-L 16C  ";
  st.FTPERM = 3.28083;
  st.FSWBAR = 32.6336;
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.KHE[i] = rate_constant(st.TAUHE[i]);
    st.KN2[i] = rate_constant(st.TAUN2[i]);
    st.TAUHE_COPY[i] = st.TAUHE[i];
    st.TAUN2_COPY[i] = st.TAUN2[i];
    st.KHE_COPY[i] = st.KHE[i];
    st.KN2_COPY[i] = st.KN2[i];
  }
}

void reset_dive_state(DiveState& st, Platform& p) {
  // Constants, not the current environment: 998.403 x 9.80665 / 100000, and
  // the start values of PAIR and FO2.
  st.PO2MAX = (st.DEPTH * 0.0979098877995 + 1.013) * 0.2095;

  for (int i = 1; i <= COMPARTMENTS; ++i) {
    st.TAUN2[i] = st.TAUN2_COPY[i];
    st.KN2[i] = st.KN2_COPY[i];
    st.TAUHE[i] = st.TAUHE_COPY[i];
    st.KHE[i] = st.KHE_COPY[i];
  }

  st.FN2 = 0.7902;
  st.FO2 = 0.2095;
  st.FHE = 0.000005;
  st.AMV = 25.0;
  st.RQ = 1.0;
  st.VO2 = 0.25;
  st.PAIR = 1.013;
  st.BZFLAG = "N";
  st.LATENCY = "N";
  st.GFFLAG = "N";
  st.DEEPSTOP = 3.0;
  st.LASTSTOP = 3.0;
  st.GFHI = 1.0;
  st.GFLO = 1.0;
  st.ASCRATE = 9.0;
  st.O2HWZ = 90.0;
  st.NUMFLAG = "OFF ";
  st.RHO = 998.403;
  st.GRAV = 9.80665;
  st.TWATER = 20.0;
  st.SQKCNS = st.KCNS = st.SQKPOT = st.KPOT = st.PRT = st.ESOT = 0.0;

  for (int i = 1; i <= COMPARTMENTS; ++i) {
    // 1.013 x 0.000005 and 1.013 x 0.7902: the start values, not the current ones.
    st.PHE[i] = 0.000005065;
    st.PN2[i] = 0.8004726;
    st.PAMBTOL[i] = 0.58;
    st.CEILM[i] = 0.0;
    st.GFHI_N2[i] = st.GFLO_N2[i] = st.GFHI_HE[i] = st.GFLO_HE[i] = 1.0;
    st.PSUM[i] = st.PN2[i] + st.PHE[i];
  }

  // The protocol start (comment and header) belongs to the program start only.
  if (st.CMD != "CLR " && st.CMD != "clr ") {
    st.PROTMODE = "S";
    protocol_writer(st, p);
  }

  st.DEPTH = st.MAXDEPTH = st.TIME = st.DIVETIME = st.OTU = st.CNS = 0.0;
  st.SQKCNS = st.KCNS = st.SQKPOT = st.KPOT = 0.0;

  st.PROTMODE = "X";
  protocol_writer(st, p);

  st.CMD = "    ";
}

bool mixture_not_yet_computed(const DiveState& st) {
  for (int i = 1; i <= COMPARTMENTS; ++i)
    if (st.AMIX[i] != 0.0 || st.BMIX[i] != 0.0) return false;
  return true;
}

}  // namespace orva
