// ORVA: the interactive decompression calculator on a terminal.
#include <memory>

#include "model/dive_state.hpp"
#include "platform/cairo_canvas.hpp"
#include "platform/process.hpp"
#include "platform/terminal_platform.hpp"
#include "shell/command_shell.hpp"

int main() {
  // Before any file is opened: none may take the place of a standard descriptor.
  orva::process_setup();
  orva::TerminalPlatform platform(std::make_unique<orva::CairoCanvas>(orva::data_folder_from_environment() / "PLOTS"));
  orva::DiveState state;
  return orva::command_shell(state, platform);
}
