#include "analyses/k_value_plan.hpp"

#include "platform/console.hpp"

namespace orva {

std::optional<double> time_to_k_limit(double sum, double Kmax, double x, quad exponent, quad exponent_squared) {
  const double C = to_double(q(sum) * q(sum) - q(Kmax));
  const double B = to_double(q(2.0 * sum) * qpow(q(x), exponent));
  const double A = to_double(qpow(q(x), exponent_squared));
  const quad D4 = q(C) * (4.0Q * q(A));
  const quad B2 = q(B) * q(B);
  if (!(D4 <= B2)) return std::nullopt;
  return to_double((q(-B) + qsqrt(B2 - D4)) / (2.0Q * q(A)));
}

namespace {

constexpr double DEFAULT_TARGET_PO2 = 1.6;

}  // namespace

void k_value_plan(DiveState& st, Platform& p) {
  write(p, R"("  K-Value Plan: CNS-OT & P-OT")");
  write(p, R"("  Target pO2, default = 1.6: ")");
  // An empty answer takes the default without the range test.
  double x = ask_value(p, R"("  in [atm] !!!  ", $)", 5, 2, [](double v) {
    return v == 0.0 || !(q(v) > 6.0Q || q(v) < 0.5Q);
  });
  if (x == 0.0) x = DEFAULT_TARGET_PO2;

  write(p, R"("  topical K CNS-OT: ", F10.1, "        topical K P-OT: ", F8.1)", {st.KCNS, st.KPOT});
  write(p, R"(" ****  K max values  ****************** CNS-OT: ")");
  write(p, R"("  1% risk: ", F8.0, "  2% risk: ", F8.0, "  4% risk: ", F8.0, "  6% risk: ", F8.0)",
        {K_MAX_CNS[0], K_MAX_CNS[1], K_MAX_CNS[2], K_MAX_CNS[3]});
  write(p, R"("  percent of K max dose: ")");
  write(p, R"("  1% risk: ", F4.3, "  2% risk: ", F4.3, "  4% risk: ", F4.3, "  6% risk: ", F4.3)",
        {st.KCNS / K_MAX_CNS[0], st.KCNS / K_MAX_CNS[1], st.KCNS / K_MAX_CNS[2], st.KCNS / K_MAX_CNS[3]});

  // A limit already reached gives no line; the guard reads the stored K value,
  // the times the sum.
  static constexpr const char* cns_lines[4] = {
      R"("  max. time [min] for 1% CNS risk: ", F6.1)", R"("  max. time [min] for 2% CNS risk: ", F6.1)",
      R"("  max. time [min] for 4% CNS risk: ", F6.1)", R"("  max. time [min] for 6% CNS risk: ", F6.1)"};
  for (int j = 0; j < 4; ++j) {
    if (!(K_MAX_CNS[j] > st.KCNS)) continue;
    if (auto t = time_to_k_limit(st.SQKCNS, K_MAX_CNS[j], x, CNS_EXPONENT, CNS_EXPONENT_SQUARED))
      write(p, cns_lines[j], {*t});
  }

  write(p, R"(" ****  K max values P-OT:  244      1220 **** ")");
  write(p, R"("  percent of K max dose: ")");
  write(p, R"("  -2% delta VC: ", F4.3, " -10% delta VC: ", F4.3)", {st.KPOT / K_MAX_POT[0], st.KPOT / K_MAX_POT[1]});

  static constexpr const char* pot_lines[2] = {R"("  max. time [h] for - 2 % delta VC: ", F7.3)",
                                               R"("  max. time [h] for - 10 % delta VC: ", F7.3)"};
  for (int j = 0; j < 2; ++j) {
    if (!(K_MAX_POT[j] > st.KPOT)) continue;
    if (auto t = time_to_k_limit(st.SQKPOT, K_MAX_POT[j], x, POT_EXPONENT, POT_EXPONENT_SQUARED))
      write(p, pot_lines[j], {*t});
  }
}

}  // namespace orva
