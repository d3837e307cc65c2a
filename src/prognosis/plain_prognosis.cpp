#include "prognosis/plain_prognosis.hpp"

#include "platform/console.hpp"
#include "prognosis/engine.hpp"

namespace orva {

namespace {

// The engine with every parameter at its plain value: the first stop from the
// shared ceilings, the ascent to it, the mixture at every stop, the LASTSTOP
// rule and the minutes with the allowance for the 3-m move.
class PlainPrognosis final : public Prognosis {
 public:
  void heading(Schedule& w) override { write(w.p, R"(" ", " Deko Prognose: ")"); }

  void stop_line(Schedule& w) override {
    write(w.p, R"(" ", I4, "m Stopp", " ", "Prognose Dekozeit:", F8.1, " ", " Komp.#: ", I2)",
          {w.printed_depth, w.Tr, w.lead});
  }

  void time_to_surface_line(Schedule& w) override {
    write(w.p, R"(" ", "TTS = ", F8.1)", {time_to_surface(w.SUM, w.st.DEPTH, w.st.ASCRATE)});
  }
};

}  // namespace

void plain_deco_prognosis(DiveState& st, Platform& p) {
  PlainPrognosis plain;
  run_schedule(plain, st, p);
}

}  // namespace orva
