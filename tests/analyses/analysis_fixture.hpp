// The dive state at program start, and a handler run against typed lines,
// for the tests of the analyses.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "model/started_state.hpp"
#include "support/fake_platform.hpp"
#include "support/handler_run.hpp"
#include "support/session.hpp"

namespace orva::testing {

// The state after the one-time start-up and the reset, without a protocol.
inline DiveState start_state() { return StartedState{}.st; }

// The fields the box-profile models read: the dive as a box of DIVETIME
// minutes at MAXDEPTH on the gas, in the environment.
struct BoxDive {
  double MAXDEPTH, DIVETIME, FN2, FHE, RQ, ASCRATE, PAIR, RHO;
};
inline DiveState box_dive_state(const BoxDive& b) {
  DiveState st = start_state();
  st.MAXDEPTH = b.MAXDEPTH;
  st.DIVETIME = b.DIVETIME;
  st.FN2 = b.FN2;
  st.FHE = b.FHE;
  st.RQ = b.RQ;
  st.ASCRATE = b.ASCRATE;
  st.PAIR = b.PAIR;
  st.RHO = b.RHO;
  return st;
}

using Handler = std::function<void(DiveState&, Platform&)>;

// One answer case of a question: the typed lines, how often the prompt is
// written for them, and the one line that must give the same result.
struct TypedAnswer {
  std::vector<std::string> typed;
  int prompts;
  std::string same_as;
};

// For each case: the prompt count, and the same output after the last prompt
// as the one line gives at the first.
inline void expect_answers(const Handler& handler, const DiveState& dive, const std::string& prompt,
                           const std::vector<TypedAnswer>& answers) {
  auto after_prompts = [&](std::vector<std::string> typed, int& prompts) {
    DiveState st = dive;
    std::string out = console_of(handler, st, std::move(typed));
    prompts = static_cast<int>(occurrences(out, prompt));
    size_t last = out.rfind(prompt);
    return last == std::string::npos ? out : out.substr(last + prompt.size());
  };
  for (const TypedAnswer& a : answers) {
    int prompts = 0, once = 0;
    std::string got = after_prompts(a.typed, prompts);
    EXPECT_EQ(prompts, a.prompts) << "typed last: " << a.typed.back();
    EXPECT_EQ(got, after_prompts({a.same_as}, once)) << "typed last: " << a.typed.back();
    EXPECT_EQ(once, 1) << a.same_as;
  }
}

}  // namespace orva::testing
