#pragma once

// Registering the file-manager integration: on Windows the extension
// library through regsvr32, on Linux the qnshell helper beside the program.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace quenlo::app {

// The Windows command line: regsvr32.exe "<folder>\qnshell.dll" /s (or /u /s).
std::string RegistrationCommandLine(const std::string& programFolder, bool install);

// The command that registers on this system: the qnshell helper in
// `programFolder` with --register/--unregister --quiet.
struct Command {
    std::filesystem::path program;
    std::vector<std::string> arguments;
};
Command RegistrationCommand(const std::filesystem::path& programFolder, bool install);

// Starts the registration and returns without waiting. Throws when the
// command cannot be started, or while the previous one still runs.
void RegisterShellExtension(platform::ProcessLauncher& launcher,
                            const std::filesystem::path& programFolder, bool install);

}  // namespace quenlo::app
