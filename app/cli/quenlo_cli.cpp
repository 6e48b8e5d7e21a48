// quenlo-cli: Quenlo on a terminal or in a script. It shreds files and
// folders and wipes the free space of drives with the same Wipe methods,
// folder handling and safety rules as the windows, through the same core;
// see CliOptions.h for the command line and docs/quenlo-cli.1 for the manual.

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/Commands.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
    using namespace quenlo;
    platform::IgnoreClosedOutput();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    cli::Console console{std::cin, std::cout, std::cerr};
    console.inputIsTerminal = platform::IsTerminal(platform::StandardStream::Input);
    console.errorIsTerminal = platform::IsTerminal(platform::StandardStream::Error);
    console.columns = platform::TerminalColumns();
    console.interruptCount = &platform::InterruptCount;
    console.catchInterrupts = &platform::CatchInterrupts;
    return cli::RunCommandLine(arguments, console);
}
