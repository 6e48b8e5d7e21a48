#pragma once

#include <QObject>
#include <QWidget>

#include "app/StartupMode.h"

namespace quenlo::gui {

// Creates the windows of a start-up mode in their fixed order. The first one
// created is the application's main window: closing it ends the message
// loop. Returns that window (null for StartupMode::None, which creates
// nothing).
QWidget* CreateFormsForMode(app::StartupMode mode);

// Destroys every window that still exists, the last created first.
void DestroyForms();

// The whole program: chooses the mode from the first argument and, unless
// the argument is not recognised (then it returns 0 at once, having created
// nothing and touched nothing), runs the windows until the main window
// closes. Returns the process exit code, 0 in every mode.
int RunApplication(int argc, char** argv);

}  // namespace quenlo::gui
