#include "analyses/dciem_stress.hpp"

#include <cmath>

#include "model/kernel.hpp"
#include "platform/console.hpp"

namespace orva {

std::array<DciemRow, 4> dciem_rows(double PRT, double TAT) {
  std::array<DciemRow, 4> rows{};
  const double E = PRT - DCIEM_OFFSET;
  for (size_t m = 0; m < rows.size(); ++m) {
    const double T = to_double(DCIEM_TAT_MULTIPLES[m] * q(TAT));
    rows[m].T = T;
    // The gas factor goes on the numerator, before the division.
    for (size_t g = 0; g < 3; ++g) {
      const double numerator = g == 0 ? E : DCIEM_GAS_FACTORS[g] * E;
      rows[m].I[g] = numerator / std::pow(T, DCIEM_EXPONENT);
    }
  }
  return rows;
}

double total_ascent_time(const DiveState& st, double tts) {
  const double TAT0 = to_double(q(st.MAXDEPTH / st.ASCRATE) + 1.0Q);
  return q(tts) == 0.0Q ? TAT0 : TAT0 + tts;
}

void dciem_stress_indices(DiveState& st, Platform& p) {
  if (!(q(st.PRT) >= DCIEM_PRT_THRESHOLD)) return;

  write(p, R"("  deco stress indices: PrT & I (DCIEM): ")");
  write(p, R"("  planned time-to-surface (TTS)?")");
  const double tts = ask_value(p, R"("  in minutes (min.)!  ", $)", 5, 1, [](double v) { return !(q(v) < 0.0Q); });
  const double TAT = total_ascent_time(st, tts);
  // The PrT of the last profile segment, whatever its kind.
  const double Pseg = ambient_pressure(st, st.DEPTH) * std::sqrt(st.TIME);

  write(p,
        R"("   max. depth / ascent rate + sum of all stop", " times: ", F6.2, /,)"
        R"("   PrT value, all segments:   ", F5.2, /, "   PrT value topical segment only: ", F5.2)",
        {TAT, st.PRT, Pseg});
  write(p, R"(" ", /, "                            DCIEM I values for air, EAN/O2 deco, trimix: ", /)");

  static constexpr const char* rows[4] = {
      R"("   50 % TAT [min]: ", F6.2, "    I AIR: ", F5.2, "    I EAN/O2:  ", F5.2, "    I TMX: ", F5.2)",
      R"("        TAT [min]: ", F6.2, "    I AIR: ", F5.2, "    I EAN/O2:  ", F5.2, "    I TMX: ", F5.2)",
      R"("  150 % TAT [min]: ", F6.2, "    I AIR: ", F5.2, "    I EAN/O2:  ", F5.2, "    I TMX: ", F5.2)",
      R"("  200 % TAT [min]: ", F6.2, "    I AIR: ", F5.2, "    I EAN/O2:  ", F5.2, "    I TMX: ", F5.2)"};
  const std::array<DciemRow, 4> r = dciem_rows(st.PRT, TAT);
  for (size_t m = 0; m < r.size(); ++m) write(p, rows[m], {r[m].T, r[m].I[0], r[m].I[1], r[m].I[2]});
}

}  // namespace orva
