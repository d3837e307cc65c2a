#include "plots/compartment_plot.hpp"

#include <string>

#include "model/kernel.hpp"
#include "plots/graphics_sequence.hpp"
#include "platform/quad.hpp"

namespace orva {
namespace {

void header(const DiveState& st, Graphics& g, double pO2) {
  g.gfx_set_text_colour(15);
  // This line is 84 characters long: the grid clips it at column 80.
  plot_value(g, 2, 1,
             R"(" ", "Tiefe: ", F5.1, " m ", "  Zeit: ", F8.1, " min ", " max. Tiefe= ", F5.1,)"
             R"( " ges. Tauchzeit= ", F8.1, " min", $)",
             {st.DEPTH, st.TIME, st.MAXDEPTH, st.DIVETIME});

  // The colour of the oxygen line holds for the gas and EAD values as well.
  g.gfx_set_text_colour(q(pO2) >= 1.6Q ? 12 : 15);
  plot_label(g, 3, 1, "Sauerstoffpartialdruck: ");
  plot_value(g, 3, 26, R"(" ", F6.3, $)", {pO2});
  plot_value(g, 3, 35, R"("MIX (in %) O2: ", F6.2, "   He: ", F5.2, "   N2: ", F5.2, $)",
             {q(st.FO2) * 100, q(st.FHE) * 100, q(st.FN2) * 100});
  quad EAD = ((q(st.FN2) * 100) * (q(st.DEPTH) + 10)) / 79 - 10;
  plot_value(g, 4, 35, R"("EAD (in m): ", F4.1, $)", {EAD});

  // From here on the colour follows the CNS per cent.
  g.gfx_set_text_colour(q(st.CNS) >= 100.0Q ? 12 : 15);
  plot_label(g, 4, 55, "%CNS = ");
  plot_value(g, 4, 61, R"(" ", F5.0, $)", {st.CNS});
  plot_value(g, 4, 69, R"("OTU = ", F5.0, $)", {st.OTU});
  plot_value(g, 5, 35, R"("AMV (L/min.)= ", F4.0, $)", {st.AMV});
  plot_value(g, 5, 54, R"(" Rq = ", F4.2, $)", {st.RQ});
  plot_value(g, 5, 68, R"(" VO2 = ", F4.2, $)", {st.VO2});
  // Reaches column 82: the grid clips the last two characters.
  plot_value(g, 6, 68, R"(" AR = ", F9.5, $)", {st.ASCRATE});
  plot_value(g, 8, 54, R"(" Wassertemp.: ", "   ", F5.2, $)", {st.TWATER});
  plot_value(g, 9, 54, R"(" Wasserdichte: ", F9.4, $)", {st.RHO});
  plot_value(g, 7, 51, R"("MOD @ 1,6 atm pO2:  ", F3.0, $)", {maximum_operating_depth(1.6Q, st.FO2)});
  plot_value(g, 6, 35, R"("Luftdruck (Bar): ", F5.3, $)", {st.PAIR});
  plot_value(g, 8, 35, R"("K CNS-OT: ", F8.0, $)", {st.KCNS});
  plot_value(g, 9, 35, R"("K   P-OT: ", F7.0, $)", {st.KPOT});
}

}  // namespace

void compartment_pressure_plot(DiveState& st, Platform& p) {
  Graphics& g = p.graphics();
  double Pamb = ambient_pressure(st, st.DEPTH);
  double pO2 = st.FO2 * Pamb;
  // The nitrogen line has no carbon-dioxide term.
  double N = to_double((q(Pamb) - 0.063Q) * q(st.FN2));
  double H = st.FHE * Pamb;
  double S = (st.FHE + st.FN2) * Pamb;

  begin_plot(g, 1);
  header(st, g, pO2);

  g.gfx_set_window(-0.4, 8.0, 18.0, -0.5);
  g.gfx_set_colour(14);
  plot_line(g, 0, 0, 17, 0);
  plot_line(g, 0, 0, 0, 6.25);

  g.gfx_set_text_colour(14);
  plot_label(g, 4, 5, "berechneter");
  plot_label(g, 5, 1, "Stickstoffpartialdruck");
  plot_label(g, 6, 1, "in den Kompartimenten (Bar)");
  plot_label(g, 30, 10, "<-- Kompartiment No.: (1 - 16)");
  g.gfx_set_colour(14);
  g.gfx_fill_rectangle(0.5, -0.25, 1.5, -0.5);

  g.gfx_set_text_colour(12);
  // Row 37 lies below the grid: it lands on row 30.
  plot_label(g, 37, 44, "<-- max. tolerierter Umgebungsdruck!");
  g.gfx_set_colour(12);
  g.gfx_fill_rectangle(8.75, -0.3, 9.25, -0.4);

  g.gfx_set_text_colour(9);
  plot_label(g, 5, 24, "/ Helium");
  g.gfx_set_text_colour(15);
  plot_label(g, 7, 5, "Summe = P Gewebe N2 + P Gewebe He");

  g.gfx_set_colour(14);
  for (int v = 0; v <= 6; ++v) {
    plot_line(g, 0, v, -0.14, v);
    g.gfx_move_to(-0.4, to_double(q(v) + 0.15Q));
    g.gfx_draw_text(std::to_string(v));
  }
  for (int k = 1; k <= 12; ++k) {
    double y = to_double(q(k) / 2);
    plot_line(g, 0, y, -0.11, y);
  }

  g.gfx_set_colour(10);
  g.gfx_set_text_colour(10);
  plot_line(g, 0, N, 17, N);
  plot_label(g, 12, 39, "inspiratorischer Inertgasdruck N2: -->");
  plot_line(g, 17.25, 4.75, 17.75, 4.75);

  g.gfx_set_text_position(13, 39);
  g.gfx_set_text_colour(9);
  g.gfx_set_colour(9);
  plot_line(g, 0, H, 17, H);
  g.gfx_write_text("inspiratorischer Inertgasdruck HE: -->");
  plot_line(g, 17.25, 4.45, 17.75, 4.45);

  g.gfx_set_text_colour(15);
  g.gfx_set_colour(15);
  plot_line(g, 0, S, 17, S);
  plot_label(g, 11, 39, "inspiratorischer Inertgasdruck (Summe)");

  g.gfx_set_text_colour(10);
  plot_label(g, 15, 57, "N2 Matrix: ");
  plot_value(g, 15, 70, R"(A10, $)", {st.N2MATRIX});
  g.gfx_set_text_colour(9);
  plot_label(g, 16, 57, "He Matrix: ");
  plot_value(g, 16, 70, R"(A10, $)", {st.HEMATRIX});

  // Both lines take their colour from PrT, not from ESOT.
  g.gfx_set_text_colour(q(st.PRT) >= 25.0Q ? 12 : 15);
  plot_label(g, 17, 57, "ESOT: ");
  plot_value(g, 17, 64, R"(F7.2, $)", {st.ESOT});
  plot_label(g, 18, 57, "PrT: ");
  plot_value(g, 18, 64, R"(F5.1, $)", {st.PRT});

  g.gfx_set_colour(15);
  plot_line(g, 17.25, 5.0, 17.75, 5.0);

  g.gfx_set_colour(3);
  g.gfx_move_to(8.0, 5.3);
  g.gfx_line_to(17.95, 5.3);
  g.gfx_line_to(17.95, 4.2);
  g.gfx_line_to(8.0, 4.2);
  g.gfx_line_to(8.0, 5.3);

  // Offsets of the tolerated-pressure lines: together one thick red mark.
  static constexpr quad MARK_OFFSETS[] = {0.0Q, 0.01Q, 0.0125Q, 0.015Q, 0.02Q, 0.03Q};
  for (int i = 1; i <= COMPARTMENTS; ++i) {
    g.gfx_set_colour(14);
    g.gfx_fill_rectangle(compartment_x(i, -0.25Q), st.PN2[i], compartment_x(i, 0.01Q), 0);
    g.gfx_set_colour(9);
    g.gfx_fill_rectangle(compartment_x(i, 0.075Q), st.PHE[i], compartment_x(i, 0.4Q), 0);
    g.gfx_set_colour(15);
    g.gfx_fill_rectangle(compartment_x(i, 0.05Q), st.PSUM[i], compartment_x(i, 0.2Q), 0);
    g.gfx_set_colour(12);
    for (quad o : MARK_OFFSETS) {
      double y = to_double(q(st.PAMBTOL[i]) + o);
      plot_line(g, compartment_x(i, -0.15Q), y, compartment_x(i, 0.4Q), y);
    }
    g.gfx_set_colour(14);
    draw_compartment_number(g, i, i, compartment_x(i, -0.2Q), 0);
  }

  end_plot(p, "P");
}

}  // namespace orva
