#include "app/StartupMode.h"

#include "app/ShellContract.h"

namespace quenlo::app {
namespace {
std::string firstArgument;
}

StartupMode ChooseStartupMode(int argc, const char* const* argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        return StartupMode::Plain;
    }
    const std::string_view first = argv[1];
    if (first == shell::kListArgument) {
        return StartupMode::List;
    }
    if (first == shell::kShellArgument) {
        return StartupMode::Shell;
    }
    return StartupMode::None;
}

const std::string& FirstArgument() {
    return firstArgument;
}

void SetFirstArgument(std::string_view argument) {
    firstArgument = argument;
}

bool IsShellMode() {
    return firstArgument == shell::kShellArgument;
}

}  // namespace quenlo::app
