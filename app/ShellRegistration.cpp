#include "app/ShellRegistration.h"

#include "app/ShellContract.h"

namespace quenlo::app {

std::string RegistrationCommandLine(const std::string& programFolder, bool install) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '\\') {
        folder += '\\';
    }
    return "regsvr32.exe \"" + folder + std::string(shell::kExtensionLibrary) + "\" " +
           (install ? "/s" : "/u /s");
}

Command RegistrationCommand(const std::filesystem::path& programFolder, bool install) {
    return {programFolder / "qnshell", {install ? "--register" : "--unregister", "--quiet"}};
}

void RegisterShellExtension(platform::ProcessLauncher& launcher,
                            const std::filesystem::path& programFolder, bool install) {
    const Command command = RegistrationCommand(programFolder, install);
    launcher.start(command.program, command.arguments);
}

}  // namespace quenlo::app
