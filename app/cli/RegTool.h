#pragma once

// qnreg: the registry store read and edited the way Windows' reg tool does it,
// for administrators presetting settings and for scripts and tests that set
// up the store without knowing its tables.
//
//   qnreg query KEY [/v NAME]
//   qnreg add KEY [/v NAME] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
//   qnreg delete KEY [/v NAME | /va] [/f]
//
// KEY lies under HKEY_CURRENT_USER and may begin with "HKCU\" or
// "HKEY_CURRENT_USER\". Switches are matched in any letter case, value names
// and data byte for byte. Output follows reg's layout: a blank line, the key,
// its values indented four blanks as "name    type    data", then the full
// names of the keys below it.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace quenlo::cli {

// Runs qnreg with the arguments after its name; questions ("(Yes/No)?") are
// answered on `in`. Returns the exit status: 0 on success, 1 on failure
// (bad syntax included), as reg does.
int RunRegTool(const std::vector<std::string>& arguments, platform::Registry& registry,
               std::istream& in, std::ostream& out, std::ostream& error);

// The text of qnreg /?.
std::string RegHelpText();

}  // namespace quenlo::cli
