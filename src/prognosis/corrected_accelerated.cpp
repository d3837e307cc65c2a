#include "prognosis/corrected_accelerated.hpp"

#include "platform/console.hpp"
#include "prognosis/two_pass.hpp"

namespace orva {

namespace {

// The two-pass scheme on the 5-m grid: the start sum weighted by the NEDU
// factors (at the first stop only), every time to limit multiplied by the
// Buehlmann factor.
class CorrectedAcceleratedPrognosis final : public TwoPassPrognosis {
 public:
  explicit CorrectedAcceleratedPrognosis(const CorrectionFactors& f)
      : TwoPassPrognosis(5, CORRECTED_GASES,
                         {.first_heading = R"(" ", " Accelerated Deko Prognose:")",
                          .second_heading = R"(" ", " AD Deko Prognose, mit Sauerstoff", "-Korrekturfaktoren:")",
                          .minutes_field = "F6.2",
                          .tts_field = "F7.2"}),
        f_(f) {}

  void working_copies(Schedule& w) override {
    TwoPassPrognosis::working_copies(w);
    // The first stop update replaces these by the plain sums.
    for (int i = 1; i <= COMPARTMENTS; ++i) w.PSUMW[i] = w.st.PN2[i] * f_.NEDU_N2 + w.st.PHE[i] * f_.NEDU_HE;
  }

  double stop_limit_time(const Schedule& w, int i) override {
    return TwoPassPrognosis::stop_limit_time(w, i) * f_.AAFAKTOR;
  }

 private:
  CorrectionFactors f_;
};

double ask_factor(Platform& p, std::string_view title, std::string_view range_line) {
  write(p, title);
  return ask_value(p, range_line, 3, 1, [](double v) { return within(v, 1.1Q, 3.0Q); });
}

}  // namespace

CorrectionFactors ask_correction_factors(Platform& p) {
  CorrectionFactors f{};
  f.AAFAKTOR = ask_factor(p, R"(" ", " Eingabe A. A. Buehlmann Faktor: ")", R"(" ", " 1.1 < AAFAKTOR < 2.0")");
  f.NEDU_N2 = ask_factor(p, R"(" ", " Eingabe USN NEDU N2 Faktor: ")", R"(" ", " 1.4 < NEDU_N2 < 2.0")");
  f.NEDU_HE = ask_factor(p, R"(" ", " Eingabe USN NEDU HE Faktor: ")", R"(" ", " 1.4 < NEDU_HE < 2.0")");
  return f;
}

void corrected_accelerated_schedules(DiveState& st, Platform& p, const CorrectionFactors& f) {
  CorrectedAcceleratedPrognosis tbm(f);
  run_two_passes(tbm, st, p);
}

void corrected_accelerated_deco_prognosis(DiveState& st, Platform& p) {
  corrected_accelerated_schedules(st, p, ask_correction_factors(p));
}

}  // namespace orva
