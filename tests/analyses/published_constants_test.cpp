// Every coefficient of the published models, digit for digit as the models
// give them: a mistyped digit changes a risk figure without any other sign.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "analyses/box_profile_risk.hpp"
#include "analyses/dciem_stress.hpp"
#include "analyses/k_value_plan.hpp"
#include "analyses/pdcs_methods.hpp"
#include "analyses/risk_estimators.hpp"
#include "model/kernel.hpp"

namespace orva {
namespace {

struct Pinned {
  std::string name;
  double value;
  const char* digits;  // the double nearest this decimal
};

struct PinnedQuad {
  std::string name;
  quad value;
  const char* digits;  // the binary128 nearest this decimal
};

void expect_pinned(const std::vector<Pinned>& table) {
  for (const Pinned& c : table) EXPECT_EQ(c.value, std::strtod(c.digits, nullptr)) << c.name << " should be " << c.digits;
}

void expect_pinned(const std::vector<PinnedQuad>& table) {
  for (const PinnedQuad& c : table)
    EXPECT_TRUE(c.value == quad_from_text(c.digits)) << c.name << " is " << to_text(c.value) << ", should be " << c.digits;
}

TEST(PublishedConstants, NmriBoxProfileModel) {
  std::vector<Pinned> t;
  const char* digits[3][7] = {
      {"6.17", "0.11234152035007218", "260", "0.002665950694461328", "0.15411417", "0.00316", "0.00763"},
      {"4.27", "0.1623295504824228", "221", "0.0031364125817192096", "0.10202787", "0.00196", "0.00463"},
      {"8.07", "0.08589184393555703", "299", "0.0023182179951837635", "0.20620047000000002", "0.00436", "0.01063"}};
  for (int s = 0; s < 3; ++s) {
    const NmriParameters& m = NMRI_BOX_PROFILE[s];
    const double v[7] = {m.tau1, m.k1, m.tau2, m.k2, m.threshold, m.a1, m.a2};
    for (int j = 0; j < 7; ++j) t.push_back({"NMRI set " + std::to_string(s) + " item " + std::to_string(j), v[j], digits[s][j]});
    // The stored rate constants are ln2 / tau.
    EXPECT_EQ(m.k1, rate_constant(m.tau1));
    EXPECT_EQ(m.k2, rate_constant(m.tau2));
  }
  expect_pinned(t);
  // The upper threshold is one unit in the last place above 0.20620047.
  EXPECT_EQ(NMRI_BOX_PROFILE[2].threshold, std::nextafter(0.20620047, 1.0));
}

TEST(PublishedConstants, PNoStopModel) {
  std::vector<Pinned> t;
  const char* digits[3][5] = {{"0.032453", "0.001651", "0.06863", "2.760433", "-8.837279"},
                              {"0.027328", "0.001469", "0.059968", "2.380892", "-9.219888"},
                              {"0.037605", "0.001833", "0.077292", "3.139974", "-8.45467"}};
  for (int s = 0; s < 3; ++s) {
    const NoStopParameters& m = P_NO_STOP[s];
    const double v[5] = {m.r1, m.r2, m.factor, m.weight, m.intercept};
    for (int j = 0; j < 5; ++j) t.push_back({"P-no-stop set " + std::to_string(s) + " item " + std::to_string(j), v[j], digits[s][j]});
  }
  expect_pinned(t);
}

TEST(PublishedConstants, PdcsCompartmentModels) {
  std::vector<Pinned> t;
  const char* pme[6][3] = {{"4.63", "0.14970781437579814", "0.00168"}, {"115.6", "0.005996082876816136", "0.00784"},
                           {"1.8", "0.3850817669777474", "0.02"},      {"7.0", "0.0990210257942779", "0.025"},
                           {"43", "0.0161197018734871", "0.01"},        {"150", "0.0046209812037329686", "0.015"}};
  for (int i = 0; i < 6; ++i) {
    const WeightedCompartment& c = PME_COMPARTMENTS[i];
    t.push_back({"II tau " + std::to_string(i + 1), c.tau, pme[i][0]});
    t.push_back({"II k " + std::to_string(i + 1), c.k, pme[i][1]});
    t.push_back({"II weight " + std::to_string(i + 1), c.w, pme[i][2]});
    EXPECT_EQ(c.k, rate_constant(c.tau)) << "II compartment " << i + 1;
  }
  const char* m4[3][3][3] = {
      {{"0.442", "1.5682062908596048", "0.176"}, {"129", "0.005373233957829034", "0.00117"}, {"767", "0.0009037120998173993", "0.00735"}},
      {{"0.268", "2.586370076716214", "0.01"}, {"60.1", "0.011533230957736194", "0.000864"}, {"605", "0.0011456978191073477", "0.00213"}},
      {{"0.616", "1.1252389294804308", "0.382"}, {"198", "0.00350074333616134", "0.001476"}, {"929", "0.00074612183052739", "0.01257"}}};
  for (int s = 0; s < 3; ++s)
    for (int i = 0; i < 3; ++i) {
      const WeightedCompartment& c = STAT_TABLES_M4[s][i];
      std::string n = "III set " + std::to_string(s) + " compartment " + std::to_string(i + 1);
      t.push_back({n + " tau", c.tau, m4[s][i][0]});
      t.push_back({n + " k", c.k, m4[s][i][1]});
      t.push_back({n + " weight", c.w, m4[s][i][2]});
      EXPECT_EQ(c.k, rate_constant(c.tau)) << n;
    }
  expect_pinned(t);
  expect_pinned(std::vector<PinnedQuad>{{"I ln Pamb", SOUTHERLAND_1992.ln_pamb, "6.64"},
                                        {"I constant", SOUTHERLAND_1992.constant, "-25.95"},
                                        {"I ln T", SOUTHERLAND_1992.ln_t, "5.31"},
                                        {"I ln T squared", SOUTHERLAND_1992.ln_t_squared, "0.33"},
                                        {"III central factor", STAT_TABLES_CENTRAL_FACTOR, "1.025"}});
}

TEST(PublishedConstants, NeduModels) {
  std::vector<Pinned> t;
  const char* iv[6][6] = {{"0.918547", "0.002929", "25.091718", "86.596315", "170.304442", "6.022169"},
                          {"0.8772", "0.0029", "23.0", "67.7", "191.8", "6.3"},
                          {"0.96", "0.00376", "27.14", "105.48", "148.8", "5.74"},
                          {"0.782505", "0.004029", "18.135384", "134.799017", "284.304696", "5.792136"},
                          {"0.757522", "0.003297", "16.658085", "119.547308", "315.355652", "6.026285"},
                          {"0.807488", "0.004761", "19.612683", "150.050726", "253.25374", "5.557987"}};
  for (int s = 0; s < 6; ++s) {
    const NeduTimeParameters& m = NEDU_2004[s];
    const double v[6] = {m.p, m.r, m.c, m.s, m.d, m.e};
    for (int j = 0; j < 6; ++j) t.push_back({"IV line " + std::to_string(s) + " item " + std::to_string(j), v[j], iv[s][j]});
  }
  // Vb has no ln(T x T) and ASCRATE terms.
  const char* v5[6][5] = {{"7.97", "-53.0", "3.32", "0.04", "-0.03"}, {"6.28", "-62.6", "1.7", "-0.2", "-0.07"},
                          {"9.66", "-43.4", "4.94", "0.28", "0.1"},   {"8.16", "-56.0", "3.81", "0", "0"},
                          {"6.72", "-65.1", "3.14", "0", "0"},        {"9.6", "-46.9", "4.48", "0", "0"}};
  for (int s = 0; s < 6; ++s) {
    const NeduLogParameters& m = NEDU_2009[s];
    const double v[5] = {m.b1, m.b0, m.b2, m.b3, m.b4};
    for (int j = 0; j < 5; ++j) t.push_back({"V line " + std::to_string(s) + " item " + std::to_string(j), v[j], v5[s][j]});
  }
  expect_pinned(t);
}

TEST(PublishedConstants, RiskEstimators) {
  std::vector<Pinned> t;
  const char* eod[6][3] = {{"0.698", "0.698", "0.81"}, {"0.415", "0.981", "0.5700000000000001"},
                           {"0.981", "0.415", "1.05"}, {"0.25", "0.25", "0.975"},
                           {"0.05", "0.05", "1.125"},  {"0.45", "0.45", "0.825"}};
  for (int s = 0; s < 6; ++s) {
    const EodParameters& e = EOD_ESTIMATES[s];
    t.push_back({"EOD line " + std::to_string(s) + " c1", e.c1, eod[s][0]});
    t.push_back({"EOD line " + std::to_string(s) + " c2", e.c2, eod[s][1]});
    t.push_back({"EOD line " + std::to_string(s) + " r", e.r, eod[s][2]});
  }
  // The rate of EOD MIN is the double difference 0.81 - 0.24, not 0.57.
  EXPECT_NE(EOD_ESTIMATES[1].r, 0.57);
  t.push_back({"OTF factor", OTF_ESTIMATES[0].factor, "0.025"});
  t.push_back({"OTF MIN factor", OTF_ESTIMATES[1].factor, "0.021"});
  t.push_back({"OTF MAX factor", OTF_ESTIMATES[2].factor, "0.029"});
  t.push_back({"TQR I factor", TQR1_FACTOR, "0.005"});
  t.push_back({"TQR II c1", TQR2_GENERIC_GAS.c1, "0.15"});
  t.push_back({"TQR II c2", TQR2_GENERIC_GAS.c2, "0.15"});
  t.push_back({"TQR II rate", TQR2_GENERIC_GAS.r, "0.2"});
  expect_pinned(t);
  expect_pinned(std::vector<PinnedQuad>{{"OTF B slope", OTF_B_SLOPE, "0.00125"},
                                        {"OTF B base", OTF_B_BASE, "0.35"},
                                        {"OTF central B offset", OTF_ESTIMATES[0].dB, "0"},
                                        {"OTF central R offset", OTF_ESTIMATES[0].dR, "0"},
                                        {"OTF MIN B offset", OTF_ESTIMATES[1].dB, "-0.081"},
                                        {"OTF MIN R offset", OTF_ESTIMATES[1].dR, "0.106"},
                                        {"OTF MAX B offset", OTF_ESTIMATES[2].dB, "0.081"},
                                        {"OTF MAX R offset", OTF_ESTIMATES[2].dR, "-0.106"},
                                        {"TQR I C slope", TQR1_C_SLOPE, "0.000125"},
                                        {"TQR I C base", TQR1_C_BASE, "0.05"}});
}

TEST(PublishedConstants, OxygenToxicityLimits) {
  expect_pinned(std::vector<Pinned>{{"CNS 1 %", K_MAX_CNS[0], "26108"},
                                    {"CNS 2 %", K_MAX_CNS[1], "58571"},
                                    {"CNS 4 %", K_MAX_CNS[2], "196811"},
                                    {"CNS 6 %", K_MAX_CNS[3], "432700"},
                                    {"P-OT -2 % VC", K_MAX_POT[0], "244"},
                                    {"P-OT -10 % VC", K_MAX_POT[1], "1220"}});
  expect_pinned(std::vector<PinnedQuad>{{"CNS exponent", CNS_EXPONENT, "3.4"},
                                        {"CNS exponent of the square", CNS_EXPONENT_SQUARED, "6.8"},
                                        {"P-OT exponent", POT_EXPONENT, "2.285"},
                                        {"P-OT exponent of the square", POT_EXPONENT_SQUARED, "4.57"}});
}

TEST(PublishedConstants, DciemIndices) {
  expect_pinned(std::vector<Pinned>{{"offset", DCIEM_OFFSET, "12.0"},
                                    {"exponent", DCIEM_EXPONENT, "0.3"},
                                    {"air", DCIEM_GAS_FACTORS[0], "1"},
                                    {"EAN/O2", DCIEM_GAS_FACTORS[1], "0.8"},
                                    {"trimix", DCIEM_GAS_FACTORS[2], "0.3"}});
  expect_pinned(std::vector<PinnedQuad>{{"threshold", DCIEM_PRT_THRESHOLD, "13.0"},
                                        {"50 %", DCIEM_TAT_MULTIPLES[0], "0.5"},
                                        {"100 %", DCIEM_TAT_MULTIPLES[1], "1"},
                                        {"150 %", DCIEM_TAT_MULTIPLES[2], "1.5"},
                                        {"200 %", DCIEM_TAT_MULTIPLES[3], "2"}});
}

}  // namespace
}  // namespace orva
