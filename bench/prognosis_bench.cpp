// Timing of the stop-schedule prognoses on two dives: 45 m for 30 min on air
// and 60 m for 20 min on trimix 18/45. Each prognosis runs on the state that
// the bottom segment D leaves, at the bottom depth (as the chain of A runs
// them after a refused stage); the gradient-factor variants read the AMIX and
// BMIX that the plain prognosis left before them.
//
// Run: ./build/orva_bench  (the medians of 9 repetitions are reported)
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

#include "model/depth_time_segment.hpp"
#include "model/dive_state.hpp"
#include "platform/platform.hpp"
#include "prognosis/gf_prognosis.hpp"
#include "prognosis/numeric_prognosis.hpp"
#include "prognosis/plain_prognosis.hpp"
#include "prognosis/vgm_prognosis.hpp"
#include "platform/quad.hpp"

namespace orva {
namespace {

// A console that swallows every line and gives the scripted answers in turn,
// from the first again after the last; a data folder without a PROT folder,
// so the reset writes no protocol.
class QuietPlatform final : public Platform {
 public:
  std::vector<std::string> answers{""};
  std::string last_line;  // kept, so the formatting is not optimised away

  void console_write_line(std::string_view text) override { last_line = text; }
  void console_write_prompt(std::string_view) override {}
  std::optional<TypedLine> console_read_line() override { return TypedLine{answers[next_++ % answers.size()]}; }
  void console_run_command(std::string_view) override {}
  void console_note(std::string_view) override {}
  std::filesystem::path data_folder() const override { return "/nonexistent/orva-bench"; }
  LocalDate clock_local_date() override { return {2026, 12, 10}; }
  LocalTime clock_local_time() override { return {10, 0, 0, 0}; }
  double clock_process_seconds() override { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
  Graphics& graphics() override { return graphics_; }

 private:
  size_t next_ = 0;
  NullGraphics graphics_;
};

enum class Dive { air_45m_30min, trimix_60m_20min };

// The state after the bottom segment, with the plain prognosis run once
// (AMIX and BMIX as it leaves them), GF 0.85 / 0.30 and per-compartment
// factors for the VGM schedule.
DiveState bottom_state(Dive dive) {
  QuietPlatform p;
  DiveState st;
  one_time_startup(st);
  reset_dive_state(st, p);
  if (dive == Dive::trimix_60m_20min) {
    st.FO2 = 0.18;
    st.FHE = 0.45;
    st.FN2 = to_double((1.0Q - q(st.FO2)) - q(st.FHE));
    p.answers = {"60.", "20."};
  } else {
    p.answers = {"45.", "30."};
  }
  depth_time_segment(st, p);
  segment_saturation(st, p);

  st.GFHI = 0.85;
  st.GFLO = 0.30;
  for (int i = 4; i <= 6; ++i) {
    st.GFHI_N2[i] = 0.9;
    st.GFLO_N2[i] = 0.4;
    st.GFHI_HE[i] = 0.8;
    st.GFLO_HE[i] = 0.3;
  }
  plain_deco_prognosis(st, p);
  return st;
}

using Handler = void (*)(DiveState&, Platform&);

void run(benchmark::State& state, Dive dive, Handler handler, const char* GFFLAG, const char* answer) {
  DiveState st = bottom_state(dive);
  st.GFFLAG = GFFLAG;
  QuietPlatform p;
  p.answers = {answer};
  for (auto _ : state) {
    handler(st, p);
    benchmark::DoNotOptimize(p.last_line.data());
  }
}

void plain(benchmark::State& s, Dive d) { run(s, d, plain_deco_prognosis, "N", ""); }
void gf(benchmark::State& s, Dive d) { run(s, d, gf_deco_prognosis, "S", ""); }
void vgm(benchmark::State& s, Dive d) { run(s, d, vgm_deco_prognosis, "V", ""); }
void numeric(benchmark::State& s, Dive d, const char* step) { run(s, d, numeric_deco_prognosis, "N", step); }

constexpr int REPETITIONS = 9;

#define ORVA_BENCH(name, ...)                                        \
  BENCHMARK_CAPTURE(name, __VA_ARGS__)                               \
      ->Unit(benchmark::kMicrosecond)                                \
      ->Repetitions(REPETITIONS)                                     \
      ->ReportAggregatesOnly(true)

ORVA_BENCH(plain, air_45m_30min, Dive::air_45m_30min);
ORVA_BENCH(plain, trimix_60m_20min, Dive::trimix_60m_20min);
ORVA_BENCH(gf, air_45m_30min, Dive::air_45m_30min);
ORVA_BENCH(gf, trimix_60m_20min, Dive::trimix_60m_20min);
ORVA_BENCH(vgm, air_45m_30min, Dive::air_45m_30min);
ORVA_BENCH(vgm, trimix_60m_20min, Dive::trimix_60m_20min);
// The coarse step 0.1, the default 0.01 (the empty answer, N = 60000) and the
// fine step 0.001.
ORVA_BENCH(numeric, air_45m_30min_coarse, Dive::air_45m_30min, "0.1");
ORVA_BENCH(numeric, air_45m_30min_default, Dive::air_45m_30min, "");
ORVA_BENCH(numeric, air_45m_30min_fine, Dive::air_45m_30min, "0.001");
ORVA_BENCH(numeric, trimix_60m_20min_coarse, Dive::trimix_60m_20min, "0.1");
ORVA_BENCH(numeric, trimix_60m_20min_default, Dive::trimix_60m_20min, "");
ORVA_BENCH(numeric, trimix_60m_20min_fine, Dive::trimix_60m_20min, "0.001");

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();
