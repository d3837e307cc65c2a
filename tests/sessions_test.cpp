// Every scripted session of tests/sessions: NAME.in holds the typed lines,
// NAME.out the exact console text. Optional beside them:
//   NAME.home/      files copied into the data folder before the run
//                   (a session without it gets an empty PROT folder)
//   NAME.noprot     marker: the data folder has no PROT folder
//   NAME.protocol   the expected PROT/PROTOCOL.TXT after the run
// With ORVA_UPDATE_SESSIONS=1 the .out and .protocol files are rewritten from
// what the system printed; check every changed line against the expected
// figures before keeping it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/session.hpp"

namespace fs = std::filesystem;
using namespace orva::testing;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void spit(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

std::vector<std::string> session_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ORVA_SESSIONS_DIR))
    if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Session : public ::testing::TestWithParam<std::string> {};

TEST_P(Session, PrintsExactlyTheExpectedText) {
  const fs::path dir = ORVA_SESSIONS_DIR;
  const std::string name = GetParam();
  bool with_prot = !fs::exists(dir / (name + ".noprot"));
  TempHome home(with_prot);
  if (fs::is_directory(dir / (name + ".home")))
    fs::copy(dir / (name + ".home"), home.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  SessionResult r = run_session(slurp(dir / (name + ".in")), home.path());
  EXPECT_EQ(r.exit_code, 0);

  bool update = std::getenv("ORVA_UPDATE_SESSIONS") != nullptr;
  if (update) {
    spit(dir / (name + ".out"), r.output);
    if (fs::exists(dir / (name + ".protocol"))) spit(dir / (name + ".protocol"), home.read("PROT/PROTOCOL.TXT"));
    return;
  }
  std::string expected = slurp(dir / (name + ".out"));
  EXPECT_EQ(expected, r.output) << "session " << name << " differs:\n" << line_diff(expected, r.output);
  if (fs::exists(dir / (name + ".protocol"))) {
    std::string expected_prot = slurp(dir / (name + ".protocol"));
    std::string actual_prot = home.read("PROT/PROTOCOL.TXT");
    EXPECT_EQ(expected_prot, actual_prot) << "protocol of " << name << " differs:\n"
                                          << line_diff(expected_prot, actual_prot);
  }
}

INSTANTIATE_TEST_SUITE_P(Transcripts, Session, ::testing::ValuesIn(session_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
