#include "plots/percent_plots.hpp"

#include <string>

#include "model/kernel.hpp"
#include "plots/graphics_sequence.hpp"
#include "platform/quad.hpp"

namespace orva {
namespace {

enum class Percent { Nitrogen, Trimix };

// The traffic light of one compartment: green, yellow from 50 %, dark red from
// 70 % (double comparisons, the later one winning).
int traffic_light(double pct) {
  int colour = 10;
  if (pct >= 50.0) colour = 14;
  if (pct >= 70.0) colour = 4;
  return colour;
}

// The percent plot and the heat map differ only in their header and in the
// tension and coefficients of the percentage.
void percent_plot(const DiveState& st, Platform& p, Percent kind) {
  Graphics& g = p.graphics();
  bool trimix = kind == Percent::Trimix;
  double Pamb = pressure_per_metre(st.RHO, st.GRAV) * st.DEPTH + st.PAIR;

  begin_plot(g, 2);
  if (trimix) {
    g.gfx_set_text_colour(14);
    plot_label(g, 2, 15, "HEAT MAP fuer TMX / Trimix");
  }
  g.gfx_set_text_colour(15);
  plot_label(g, 3, 2, " prozentuale Saettigung von P, tissue, tolerated");
  plot_label(g, 4, 2, " relativ zu aktuellem P ambient");
  plot_label(g, 5, 2, trimix ? " TMX:" : " (fuer Luft/EAN/Nitrox)");
  g.gfx_set_text_colour(10);
  plot_label(g, 8, 61, "N2 Matrix: ");
  // A name of ten characters reaches column 81: the grid clips the last one.
  plot_value(g, 8, 72, R"(A10, $)", {st.N2MATRIX});
  if (trimix) {
    g.gfx_set_text_colour(10);
    plot_label(g, 9, 61, "HE Matrix: ");
    plot_value(g, 9, 72, R"(A10, $)", {st.HEMATRIX});
    g.gfx_set_text_colour(14);
    plot_value(g, 5, 15, R"("(in %) O2: ", F5.2, "   He: ", F5.2, "   N2: ", F5.2, $)",
               {q(st.FO2) * 100, q(st.FHE) * 100, q(st.FN2) * 100});
  }

  g.gfx_set_window(-2.0, 130.0, 20.0, -20.0);
  g.gfx_set_colour(14);
  plot_line(g, 0, 0, 17, 0);
  plot_line(g, 0, 0, 0, 100);

  g.gfx_set_text_colour(15);
  plot_label(g, 29, 20, "   <-- Kompartiment No.: (1 - 16) -->");
  plot_label(g, 28, 10, "    schnelle           mittlere       langsame Kompartimente");

  g.gfx_set_colour(14);
  for (int n = 0; n <= 10; ++n) {
    double y = 10.0 * n;
    plot_line(g, 0, y, -0.2, y);
    g.gfx_move_to(-1.0, y + 2);
    g.gfx_draw_text(n == 0 ? "0" : n < 10 ? std::to_string(n) + "0" : "100");
  }
  for (int y = 0; y <= 100; y += 5) plot_line(g, 0, y, -0.15, y);

  for (int i = 1; i <= COMPARTMENTS; ++i) {
    // The tension as a percentage of the plain M-value at the current depth.
    double pct = trimix ? (st.PSUM[i] / (Pamb / st.BMIX[i] + st.AMIX[i])) * 100
                        : (st.PN2[i] / (Pamb / st.BN2[i] + st.AN2[i])) * 100;
    g.gfx_set_colour(traffic_light(pct));
    g.gfx_fill_rectangle(compartment_x(i, -0.25Q), pct, compartment_x(i, 0.01Q), 0);
    g.gfx_set_colour(14);
    draw_compartment_number(g, i, compartment_x(i, -0.25Q), compartment_x(i, -0.4Q), -0.75);
  }

  g.gfx_set_text_colour(15);
  plot_value(g, 4, 60, R"(" ", "Tiefe: ", F5.1, " m ")", {st.DEPTH});
  // "Zeit:" is the whole dive, not the last segment.
  plot_value(g, 5, 60, R"(" ", "Zeit:  ", F7.1, " min", $)", {st.DIVETIME});

  // The gradient-factor lines in the colour the compartment labels left (14).
  double hi = to_double(q(st.GFHI) * 100);
  plot_line(g, 0, hi, 16.5, hi);
  g.gfx_move_to(16.5, hi);
  g.gfx_draw_text(" GF Hi");
  bool distinct = !(st.GFLO == st.GFHI);  // unordered counts as different
  if (distinct && q(st.GFLO) < 1.0Q) {
    double lo = to_double(q(st.GFLO) * 100);
    plot_line(g, 0, lo, 16.5, lo);
    g.gfx_move_to(16.5, lo);
    g.gfx_draw_text(" GF Lo");
  }

  end_plot(p, trimix ? "HM" : "PCT");
}

}  // namespace

void percent_saturation_plot(DiveState& st, Platform& p) { percent_plot(st, p, Percent::Nitrogen); }

void trimix_heat_map(DiveState& st, Platform& p) { percent_plot(st, p, Percent::Trimix); }

}  // namespace orva
