#include "shell/command_shell.hpp"

#include <functional>
#include <string>
#include <vector>

#include "model/oxygen_exposure.hpp"
#include "platform/console.hpp"
#include "shell/handlers.hpp"

namespace orva {
namespace {

using Action = std::function<void(DiveState&, Platform&)>;

struct Keyword {
  std::string upper;  // the form as typed, upper case (or the one form)
  std::string lower;  // the lower-case form; empty for ?, ?? and !
  Action run;
};

// Guards compare in binary128: the double widened, the constant the nearest
// binary128 value. 9.2Q lies just below 9.2 and above the double nearest 9.2,
// so a dive to a typed 9.2 m does not pass.
bool depth_above(const DiveState& st, quad limit) { return q(st.DEPTH) > limit; }
bool at_surface(const DiveState& st) { return q(st.DEPTH) == 0.0Q; }
bool dive_long_and_deep(const DiveState& st) {
  return q(st.MAXDEPTH) > 6.0Q && q(st.DIVETIME) > 5.0Q;
}

void sat_pause(Platform& p) {
  write(p, R"(" ", "        ... continue with: ENTER")");
  wait_enter(p);
}

// The chain of A: the prognoses run on the depth A left, also when A refused
// the stage.
void ascent_chain(DiveState& st, Platform& p) {
  ascent_to_stage(st, p);
  if (!depth_above(st, 4.0Q)) return;
  plain_deco_prognosis(st, p);
  if (st.NUMFLAG == "ON  ") numeric_deco_prognosis(st, p);
  if (st.GFFLAG == "S") gf_deco_prognosis(st, p);
  if (st.GFFLAG == "V") vgm_deco_prognosis(st, p);
}

void sat_chain(DiveState& st, Platform& p) {
  // Receives the time to surface of the 2018 procedure in hours; not used.
  double tts_hours = 0.0;
  mt92_sat_procedure(st, p);
  normam15_sat_procedure(st, p);
  sat_pause(p);
  usn_sat_1991_procedure(st, p);
  sat_pause(p);
  usn_sat_2018_procedure(st, p, tts_hours);
  usn_sat_excursions(st, p);
}

const std::vector<Keyword>& keyword_table() {
  static const std::vector<Keyword> table = {
      {"?", "", help_screen},
      {"??", "", help_screen},
      {"HELP", "help", help_screen},
      {"D", "d",
       [](DiveState& st, Platform& p) {
         depth_time_segment(st, p);
         segment_saturation(st, p);
       }},
      {"E", "e", deco_stop_pause},
      {"O", "o", desaturation_and_fly_times},
      {"A", "a", ascent_chain},
      {"Z", "z", parameter_display},
      {"F", "f", state_file},
      {"N", "n", repetitive_dive_ndl},
      {"M", "m", set_gas_mix},
      {"P", "p", compartment_pressure_plot},
      {"%P", "%p", percent_saturation_plot},
      {"T", "t", mod_list_and_ndl_table},
      {"V", "v", set_amv},
      {"R", "r", set_rq},
      {"W", "w", set_o2_consumption},
      {"L", "l", set_air_pressure},
      {"S", "s",
       [](DiveState& st, Platform& p) {
         if (depth_above(st, 4.0Q)) conservatism_prognosis_series(st, p);
       }},
      {"PMRC", "pmrc",
       [](DiveState& st, Platform& p) {
         if (depth_above(st, 4.0Q)) pmrc_deco_prognosis(st, p);
       }},
      {"NC", "nc", n2_coefficient_choice},
      {"HC", "hc", he_coefficient_choice},
      {"ASY", "asy",
       [](DiveState& st, Platform& p) {
         if (depth_above(st, 4.0Q))
           asymmetric_deco_prognosis(st, p);
         else if (at_surface(st))
           asymmetric_ndl_table(st, p);
       }},
      {"OC", "oc",
       [](DiveState& st, Platform& p) {
         if (depth_above(st, 4.0Q))
           oxygen_deco_prognosis(st, p);
         else if (at_surface(st))
           oxygen_ndl_table(st, p);
       }},
      {"RL", "rl",
       [](DiveState& st, Platform& p) {
         if (q(st.FHE) == 0.0Q && at_surface(st)) shunt_ndl_table(st, p);
       }},
      {"B", "b",
       [](DiveState& st, Platform& p) {
         st.BZFLAG = "Y";
         write(p, R"(" ", " Buehlmann Tabellenkorrektur gesetzt!")");
       }},
      {"LS", "ls", set_last_stop},
      {"AR", "ar", set_ascent_rate},
      {"AD", "ad",
       [](DiveState& st, Platform& p) {
         if (!depth_above(st, 4.0Q)) return;
         accelerated_deco_prognosis(st, p);
         if (st.GFFLAG == "S") gf_accelerated_nitrox_prognosis(st, p);
       }},
      {"TBM", "tbm",
       [](DiveState& st, Platform& p) {
         if (!depth_above(st, 3.0Q)) return;
         corrected_accelerated_deco_prognosis(st, p);
         if (st.GFFLAG == "S") gf_accelerated_o2_prognosis(st, p);
       }},
      {"GF", "gf", set_gradient_factors},
      {"MX", "mx", mixed_coefficient_matrix},
      {"TA", "ta", temperature_adaptation},
      {"PDCS", "pdcs",
       [](DiveState& st, Platform& p) {
         if (dive_long_and_deep(st)) pdcs_methods(st, p);
       }},
      {"BPA", "bpa",
       [](DiveState& st, Platform& p) {
         if (dive_long_and_deep(st)) box_profile_air_risk(st, p);
       }},
      {"RE", "re",
       [](DiveState& st, Platform& p) {
         if (dive_long_and_deep(st)) risk_estimators(st, p);
       }},
      {"LAT", "lat", toggle_latency},
      {"O2", "o2", set_o2_half_time},
      {"DI", "di", set_water_density},
      {"TE", "te", set_water_temperature},
      {"RS", "rs", rgbm_reduction_factors},
      {"BP", "bp", ball_park_values},
      {"HM", "hm", trimix_heat_map},
      {"CP", "cp",
       [](DiveState& st, Platform& p) {
         if (dive_long_and_deep(st)) comex_bounce_procedure(st, p);
       }},
      {"CS", "cs",
       [](DiveState& st, Platform& p) {
         if (dive_long_and_deep(st)) comex_sat_procedure(st, p);
       }},
      {"SAT", "sat",
       [](DiveState& st, Platform& p) {
         if (q(st.MAXDEPTH) > 9.2Q) sat_chain(st, p);
       }},
      {"K", "k", k_value_plan},
      {"DS", "ds", dciem_stress_indices},
      {"ON", "on", [](DiveState& st, Platform&) { st.NUMFLAG = "ON  "; }},
      {"OFF", "off", [](DiveState& st, Platform&) { st.NUMFLAG = "OFF "; }},
      {"CLR", "clr",
       [](DiveState& st, Platform& p) {
         reset_dive_state(st, p);
         write_banner(p);
       }},
      {"!", "",
       [](DiveState&, Platform& p) {
         console_shell_escape(p, "zweiter Kommando-Prozessor mit: CMD, dann: zurueck mit EXIT");
       }},
  };
  return table;
}

std::string padded(const std::string& form) { return form + std::string(4 - form.size(), ' '); }

bool is_program_end(const std::string& cmd) {
  return cmd == "Q   " || cmd == "q   " || cmd == "EX  " || cmd == "ex  ";
}

// The records 3 and 4 of the banner have no items: each writes one empty line.
constexpr const char* BANNER_EMPTY_RECORD = "";

void program_end(DiveState& st, Platform& p) {
  write(p, R"(" ", "See you later alligator")");
  write(p, R"(" ", 'Always keep in mind the "20 % Bug" of your', " ", "divecomputer!")");
  st.DEPTH = st.TIME = st.DIVETIME = 0.0;
  st.PROTMODE = "X";
  protocol_writer(st, p);
  protocol_close(st, p);
}

}  // namespace

void write_banner(Platform& p) {
  write(p,
        R"(/, /, " ", 5X, "********************************************", /, " ", 5X, " ORVA V 3_10 ist nicht abwaertskompatibel !", /, " ", 5X, "********************************************", /, /)");
  write(p, R"(" ", 10X, " ORVA Version 3_10       09/2023")");
  write(p, BANNER_EMPTY_RECORD);
  write(p, BANNER_EMPTY_RECORD);
}

int command_shell(DiveState& st, Platform& p) {
  try {
    one_time_startup(st);
    reset_dive_state(st, p);
    write_banner(p);
    while (true) {
      write(p, R"(" ", " was jetzt?", $)");
      st.CMD = parse_text(read_line(p), 4, 4);
      if (is_program_end(st.CMD)) break;
      const Keyword* found = nullptr;
      for (const Keyword& k : keyword_table()) {
        if (st.CMD == padded(k.upper) || (!k.lower.empty() && st.CMD == padded(k.lower))) {
          found = &k;
          break;
        }
      }
      if (found)
        found->run(st, p);
      else
        write(p, R"(" ", "QUARK!")");
    }
  } catch (const EndOfInput&) {
    // The end of the input ends the program as Q does.
  }
  program_end(st, p);
  return 0;
}

}  // namespace orva
