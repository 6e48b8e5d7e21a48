#include "app/cli/CliOptions.h"

#include <algorithm>
#include <cctype>

namespace quenlo::cli {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The argument quoted for an error line; control characters shown escaped
// so a stray newline cannot split the line.
std::string Quoted(std::string_view argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            quoted += "\\x";
            quoted += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            quoted += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::optional<Command> ParseCommand(std::string_view word) {
    if (word == "shred")
        return Command::Shred;
    if (word == "wipe-free")
        return Command::WipeFree;
    if (word == "drives")
        return Command::Drives;
    if (word == "methods")
        return Command::Methods;
    if (word == "help" || word == "--help" || word == "-h")
        return Command::Help;
    return std::nullopt;
}

bool TakesWork(Command command) {
    return command == Command::Shred || command == Command::WipeFree;
}

}  // namespace

std::optional<std::int32_t> ParseMethod(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '4') {
        return text[0] - '0';
    }
    const std::string lower = Lower(text);
    for (std::size_t i = 0; i < kMethodNames.size(); ++i) {
        if (lower == kMethodNames[i]) {
            return static_cast<std::int32_t>(i);
        }
    }
    return std::nullopt;
}

Options ParseArguments(const std::vector<std::string>& arguments) {
    Options options;
    if (arguments.empty()) {
        throw UsageError("no command given");
    }
    const auto command = ParseCommand(arguments[0]);
    if (!command) {
        throw UsageError("unknown command " + Quoted(arguments[0]));
    }
    options.command = *command;
    if (options.command == Command::Help) {
        return options;  // anything after it asks for the same help
    }
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.command = Command::Help;
            return options;
        }
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (!TakesWork(options.command)) {
            throw UsageError("the command takes no option " + Quoted(argument));
        }
        if (name == "--method" || name == "-m") {
            if (!value) {
                if (i + 1 == arguments.size()) {
                    throw UsageError("option " + Quoted(name) + " needs a Wipe method");
                }
                value = arguments[++i];
            }
            options.method = ParseMethod(*value);
            if (!options.method) {
                throw UsageError("unknown Wipe method " + Quoted(*value) +
                                 " (0 to 4, or one-pass, two-pass, dod, military, gutmann)");
            }
        } else if ((name == "--yes" || name == "-y") && !value) {
            options.yes = true;
        } else if ((name == "--quiet" || name == "-q") && !value) {
            options.quiet = true;
        } else {
            throw UsageError("unknown option " + Quoted(argument));
        }
    }
    if (options.command == Command::Shred && options.operands.empty()) {
        throw UsageError("no path given to shred");
    }
    if (options.command == Command::WipeFree && options.operands.empty()) {
        throw UsageError("no drive given to wipe");
    }
    if (!TakesWork(options.command) && !options.operands.empty()) {
        throw UsageError("unexpected argument " + Quoted(options.operands.front()));
    }
    return options;
}

std::string HelpText() {
    return R"(Usage: quenlo-cli COMMAND [OPTION]... [OPERAND]...
Destroys files beyond recovery and wipes the free space of drives, with the
Wipe methods and the safety rules of Quenlo.

Commands:
  shred PATH...        overwrite, cut, rename and delete the files and
                       folders given (links are removed, never followed;
                       other file systems inside a folder are left alone)
  wipe-free DRIVE...   fill the free space of the drives (a letter such as E,
                       E: or E:\, or a mount point) with the method's passes
                       and clear it again; Ctrl-C stops and cleans up
  drives               the drives a free-space wipe can fill
  methods              the Wipe methods
  help                 this text

Options of shred and wipe-free:
  -m, --method N|NAME  the Wipe method: 0 to 4, or one-pass, two-pass, dod,
                       military, gutmann (default: the stored setting, else dod)
  -y, --yes            do not ask before starting (needed without a terminal)
  -q, --quiet          print errors only
      --               end of options: later arguments are operands even if
                       they begin with "-"

Exit status: 0 when everything was shredded or wiped, 1 when something was
not (the reason goes to standard error), 2 for bad usage.
Settings come from the same store as Quenlo's (QUENLO_REGISTRY names another).
)";
}

}  // namespace quenlo::cli
