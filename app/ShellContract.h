#pragma once

// Where the program meets the file-manager integration (the shell extension
// on Windows, the qnshell helper on Linux). Both sides must keep to these
// names: the extension writes paths as value names into the two keys below
// and starts the program with one of the two arguments.

#include <string_view>

namespace quenlo::shell {

// All keys live under HKEY_CURRENT_USER.
inline constexpr std::string_view kProgramKey = "Software\\Quenlo";
inline constexpr std::string_view kSettingsKey = "Software\\Quenlo\\Settings";

// "Location" under the program key: the running executable's full path,
// written at every show of the main window, never read by the program.
inline constexpr std::string_view kLocationValue = "Location";

// The Shred list key: every value name is the full path of a file or folder
// to put on the Shred list; the data and its type mean nothing.
inline constexpr std::string_view kShredListKey =
    "Software\\Quenlo\\{471DAF86-524B-4fab-9BFC-DE491FC0283A}";

// The Shell hand-off key: every value name is the full path of a file or
// folder to shred at once. The program reads it and never changes it.
inline constexpr std::string_view kHandOffKey =
    "Software\\Quenlo\\{FF14D9EE-48EB-4873-80AC-8E224BEE5823}";

// The program's two start arguments: open the main window with the Shred list
// key loaded, or shred what the hand-off key names and end.
inline constexpr std::string_view kListArgument = "-list";
inline constexpr std::string_view kShellArgument = "-shell";

// The integration's library, in the executable's folder, registered with
// "regsvr32.exe \"<path>\" /s" and unregistered with "/u /s".
inline constexpr std::string_view kExtensionLibrary = "qnshell.dll";

}  // namespace quenlo::shell
