#pragma once

// The desktop shell the windows use (web pages, file types, icons), one for
// the whole program so tests can put a recording one in its place.

#include "platform/Shell.h"

namespace quenlo::gui {

platform::Shell& ProgramShell();
// Null: the system's shell again.
void SetProgramShell(platform::Shell* shell);

}  // namespace quenlo::gui
