#include "prognosis/accelerated_gf.hpp"

#include <string>

#include "platform/console.hpp"

namespace orva {

AcceleratedGradientFactorPrognosis::AcceleratedGradientFactorPrognosis(int grid, std::span<const GasBand> gases,
                                                                       std::string_view minutes_field,
                                                                       std::string_view tts_field)
    : GradientFactorPrognosis({.grid = grid, .mixture = Mixture::shared, .laststop_depth_printed = false}),
      gases_(gases),
      minutes_field_(minutes_field),
      tts_field_(tts_field) {}

void AcceleratedGradientFactorPrognosis::heading(Schedule& w) {
  write(w.p, R"(" ", " Accelerated Deco Prognose mit ", " Gradientenfaktoren:", " ", " GFHI= ", F6.2, " GFLO= ", F6.2)",
        {w.st.GFHI, w.st.GFLO});
}

StopGas AcceleratedGradientFactorPrognosis::stop_gas(const Schedule& w) { return stop_gas_of(gases_, w.s, w.st); }

void AcceleratedGradientFactorPrognosis::stop_line(Schedule& w) {
  write(w.p, labelled_stop_format(gas_band(gases_, w.s).label, minutes_field_, R"(" ", " GF = ", F6.2, "  Komp.#: ", I2)"),
        {w.printed_depth, w.Tr, w.st.GFCUR, w.lead});
}

void AcceleratedGradientFactorPrognosis::time_to_surface_line(Schedule& w) {
  write(w.p, R"(" ", "TTS = ", )" + std::string(tts_field_), {time_to_surface(w.SUM, w.st.DEPTH, w.st.ASCRATE)});
}

}  // namespace orva
