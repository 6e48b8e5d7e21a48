#pragma once

#include <string>
#include <string_view>

namespace quenlo::app {

enum class StartupMode {
    Plain,  // no argument: the main window
    List,   // "-list": the main window with the handed-over paths listed
    Shell,  // "-shell": shred the handed-over paths at once, no main window
    None,   // anything else: nothing is created, the program ends at once
};

// Only the first argument counts, compared exactly and case-sensitively.
StartupMode ChooseStartupMode(int argc, const char* const* argv);

// The first command-line argument, which some windows consult themselves;
// empty when there was none. Set once by the entry.
const std::string& FirstArgument();
void SetFirstArgument(std::string_view argument);
bool IsShellMode();

}  // namespace quenlo::app
