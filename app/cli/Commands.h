#pragma once

// The commands of quenlo-cli over a console given as streams, so the whole
// tool runs in a test as it runs in a terminal.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace quenlo::cli {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitUsage = 2;

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& error;
    bool inputIsTerminal = false;  // questions can be answered
    bool errorIsTerminal = false;  // the live status line can be drawn
    int columns = 80;
    // Counts the user's interrupts (Ctrl-C); null: there are none.
    int (*interruptCount)() = nullptr;
    // Makes interrupts countable instead of ending the process; called once
    // the questions are answered and the work begins.
    void (*catchInterrupts)() = nullptr;
};

// Runs quenlo-cli with the arguments after its name; returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, Console& console);

}  // namespace quenlo::cli
