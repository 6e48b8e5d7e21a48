#pragma once

// The command line of quenlo-cli: a command, its options and its operands.
//
//   quenlo-cli shred [--method N|NAME] [--yes] [--quiet] [--] PATH...
//   quenlo-cli wipe-free [--method N|NAME] [--yes] [--quiet] [--] DRIVE...
//   quenlo-cli drives
//   quenlo-cli methods
//   quenlo-cli --help | help [COMMAND]
//
// Options may stand before, between or after the operands; "--" ends them,
// so a path that begins with "-" is given after it.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quenlo::cli {

// Bad usage; what() is one line naming the bad argument.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Command { Help, Shred, WipeFree, Drives, Methods };

struct Options {
    Command command = Command::Help;
    std::optional<std::int32_t> method;  // as given; else the stored default
    bool yes = false;
    bool quiet = false;
    // Paths or drives, byte for byte as given.
    std::vector<std::string> operands;
};

// The short names of the Wipe methods, by index.
inline constexpr std::array<std::string_view, 5> kMethodNames = {"one-pass", "two-pass", "dod",
                                                                 "military", "gutmann"};

// "0".."4" or a short name (any letter case); nothing for anything else.
std::optional<std::int32_t> ParseMethod(std::string_view text);

// Parses the arguments after the program's name. Throws UsageError.
Options ParseArguments(const std::vector<std::string>& arguments);

// The text of --help.
std::string HelpText();

}  // namespace quenlo::cli
