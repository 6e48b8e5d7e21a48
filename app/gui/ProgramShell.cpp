#include "app/gui/ProgramShell.h"

#include "platform/qt/QtShell.h"

namespace quenlo::gui {
namespace {
platform::Shell* shellOverride = nullptr;
}

platform::Shell& ProgramShell() {
    return shellOverride != nullptr ? *shellOverride : platform::programShell();
}

void SetProgramShell(platform::Shell* shell) { shellOverride = shell; }

}  // namespace quenlo::gui
