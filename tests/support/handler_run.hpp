// One handler run on typed lines, outside a whole session, and what it prints.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/dive_state.hpp"
#include "support/fake_platform.hpp"
#include "support/session.hpp"

namespace orva::testing {

// What the handler prints when the diver types the given lines, with the data
// folder of home (its coefficient or state files).
template <class Handler>
std::string console_of(Handler handler, DiveState& st, const TempHome& home, std::vector<std::string> typed) {
  FakePlatform p(std::move(typed), home.path());
  handler(st, p);
  return p.output();
}

// The same in a data folder without a PROT folder.
template <class Handler>
std::string console_of(Handler handler, DiveState& st, std::vector<std::string> typed = {}) {
  TempHome home(false);
  return console_of(handler, st, home, std::move(typed));
}

// How often part stands in text.
inline std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace orva::testing
