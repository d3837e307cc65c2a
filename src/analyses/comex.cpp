#include "analyses/comex.hpp"

#include <array>
#include <cstdint>

#include "platform/console.hpp"

namespace orva {
namespace {

// What distinguishes the saturation from the bounce procedure.
struct ComexVariant {
  const char* title;
  const char* prompt;  // the second prompt line, written again on a re-ask
  int field_width;     // Fw.2
  quad lowest, highest;  // accepted lambda
  double scale;
  bool hours;  // the last line also gives the hours
};

constexpr ComexVariant SAT_DIVES{
    R"("  COMEX Prozedur fuer SAT DIVES")",
    R"(" als Dezimalzahl * 10 EXP 12!  1. <= Lambda <= 1000. :", $)",
    7, 1.0Q, 1000.0Q, 1e12, true};

// The prompt names 70 to 250; the accepted range is wider.
constexpr ComexVariant BOUNCE_DIVES{
    R"("  COMEX Prozedur fuer BOUNCE DIVES  !!!! ")",
    R"(" als Dezimalzahl * 10 EXP 6!   70. <= Lambda <= 250. :", $)",
    5, 60.0Q, 275.0Q, 1e6, false};

// An answer of 0 (or an empty line) selects this lambda, before any range test.
constexpr double DEFAULT_LAMBDA = 97.0;

// MAXDEPTH comes from typed and stored depths, all of them shallower than
// this; a deeper (or infinite) maximum depth lists the 20001 stops of this
// depth, so that the list ends.
constexpr double DEEPEST_LISTED_DEPTH = 100000.0;

// The double power with the integer exponent 4: (x * x) * (x * x).
double fourth_power(double x) {
  double square = x * x;
  return square * square;
}

void comex_procedure(DiveState& st, Platform& p, const ComexVariant& v) {
  const double T = st.DIVETIME;
  const double D = st.MAXDEPTH;
  write(p, v.title);
  write(p, R"(" Eingabe COMEX Prozedur Parameter Lambda ")");
  double lambda = ask_value(p, v.prompt, v.field_width, 2,
                            [&](double x) { return q(x) == 0.0Q || within(x, v.lowest, v.highest); });
  if (q(lambda) == 0.0Q) lambda = DEFAULT_LAMBDA;

  const double L = lambda * v.scale;
  const double K = comex_constant(T, D, L);
  write(p, R"(" GESZ: ", F6.2, " MAXT: ", F6.2, " CPLAMBDA: ", F6.2, " KONSTANT: ", F7.3)", {T, D, L / v.scale, K});

  // The longest time to surface for each end depth z by the 1/z law.
  struct EndDepth {
    double z;
    quad reciprocal;
  };
  const std::array<EndDepth, 5> end_depths = {{
      {0.75, 4.0Q / 3.0Q},
      {1.5, 2.0Q / 3.0Q},
      {2.0, 0.5Q},
      {2.5, 0.4Q},
      {3.0, 1.0Q / 3.0Q},
  }};
  const quad R = 1.0Q / q(D);
  for (const EndDepth& e : end_depths) {
    double tts_max = to_double(q(K) * (e.reciprocal - R));
    write(p, R"("  max. TTS: ", F12.1, " Prozedur-Ende bei m: ", F4.1)", {tts_max, e.z});
  }

  write(p, R"(" **********************")");
  write(p, R"(" **********************")");
  write(p, R"(" Standard Deko-Stopps: ")");
  const std::int64_t stops = comex_stop_count(D);
  double sum = 0.0;
  for (std::int64_t i = 1; i <= stops; ++i) {
    double depth = to_double(static_cast<quad>(i) * 3.0Q);
    double minutes = comex_stop_minutes(K, depth);
    write(p, R"("  ", F3.0, "m Deko-Stopp: ", F12.1, " min")", {depth, minutes});
    sum = sum + minutes;
  }
  if (v.hours)
    write(p, R"("  TTS: ", F14.1, " (h =) ", F12.1)", {sum, q(sum) / 60.0Q});
  else
    write(p, R"("  TTS: ", F14.1)", {sum});
}

}  // namespace

double comex_constant(double T, double D, double L) {
  return to_double(qpow(q(T), 2.5Q) * q(fourth_power(D)) / q(L));
}

std::int64_t comex_stop_count(double D) {
  if (!(q(D) < q(DEEPEST_LISTED_DEPTH))) D = DEEPEST_LISTED_DEPTH;
  return saturating_int64(q(D) * 0.6Q / 3.0Q) + 1;
}

double comex_stop_minutes(double K, double depth) {
  const quad S = q(depth);
  return to_double(q(K) * (1.0Q / (S - 1.0Q) - 1.0Q / (S + 1.0Q)));
}

void comex_sat_procedure(DiveState& st, Platform& p) { comex_procedure(st, p, SAT_DIVES); }
void comex_bounce_procedure(DiveState& st, Platform& p) { comex_procedure(st, p, BOUNCE_DIVES); }

}  // namespace orva
