// qnreg: Quenlo's registry store from the command line; see RegTool.h and
// docs/qnreg.1.

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/RegTool.h"
#include "platform/Registry.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return quenlo::cli::RunRegTool(arguments, quenlo::platform::currentUserRegistry(), std::cin,
                                   std::cout, std::cerr);
}
