#include "model/coefficient_choice.hpp"

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {
namespace {

// Any accepted choice leaves the per-compartment gradient-factor mode; the
// single pair S stays.
void leave_per_compartment_mode(DiveState& st) {
  if (st.GFFLAG != "V") return;
  st.GFFLAG = "N";
  st.GFHI = 1.0;
  st.GFLO = 1.0;
}

// Header and menu again, without a message, until an option of the menu is typed.
int ask_option(Platform& p, const CoefficientMenu& menu) {
  const auto count = static_cast<std::int64_t>(menu.options.size());
  while (true) {
    write(p, menu.header);
    write(p, menu.menu);
    std::optional<std::int64_t> v = parse_integer(read_line(p), menu.option_width);
    if (v && *v >= 1 && *v <= count) return static_cast<int>(*v);
  }
}

void store_set(MatrixView m, const StoredSet& s) {
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    m.TAU[i] = s.TAU[i - 1];
    m.A[i] = s.A[i - 1];
    m.B[i] = s.B[i - 1];
  }
}

void store_m0dm_set(MatrixView m, const M0dMSet& s, double X, double PAIR, const M0dMConstants& k) {
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    CoefficientPair ab = m0dm_coefficients(s.M0[i - 1], s.DM[i - 1], X, PAIR, k);
    m.TAU[i] = s.TAU[i - 1];
    m.A[i] = ab.a;
    m.B[i] = ab.b;
  }
}

}  // namespace

CoefficientPair m0dm_coefficients(double M0, double dM, double X, double PAIR, const M0dMConstants& k) {
  double c = M0 * k.C;
  double a = c - (k.K1 * (dM * (X * PAIR)));
  double b = k.K2 * (PAIR / (dM * X));
  return {a, b};
}

void coefficient_choice(DiveState& st, Platform& p, const CoefficientMenu& menu) {
  // Metres of water per bar, from the environment at the start of the command.
  const double X = 100000.0 / (st.RHO * st.GRAV);

  const int option = ask_option(p, menu);
  write(p, menu.echo, {option});
  const CoefficientOption& o = menu.options[static_cast<size_t>(option - 1)];

  // A coefficient file is read and checked whole before anything changes: a
  // faulty one leaves the set name, the coefficients, the factors and the
  // mode as they were.
  CoefficientFileRead file;
  if (o.file) {
    file = load_coefficient_file(p, o.file);
    if (file.status == CoefficientFileRead::Status::Faulty) {
      write_coefficient_file_fault(p, o.file, file);
      return;
    }
  }

  MatrixView m = gas_matrix(st, menu.gas);
  m.name = o.name;
  if (o.RHO) st.RHO = *o.RHO;
  leave_per_compartment_mode(st);

  if (o.file) {
    // A file that cannot be opened ends the command silently.
    if (file.status == CoefficientFileRead::Status::NotOpened) return;
    apply_coefficient_file(st, p, menu.gas, file.data);
  } else {
    if (o.stored)
      store_set(m, *o.stored);
    else
      store_m0dm_set(m, *o.m0dm, X, st.PAIR, menu.m0dm);
    for (int i = 1; i <= COMPARTMENTS; ++i) m.K[i] = rate_constant(m.TAU[i]);
  }

  coefficient_test_listing(st, p, menu.gas);
  save_coefficient_copies(m);
}

}  // namespace orva
