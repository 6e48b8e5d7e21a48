#include "app/cli/RegTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace quenlo::cli {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kDone = "The operation completed successfully.";
constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";

class SyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// The key path below HKEY_CURRENT_USER: the root name taken off, trailing
// separators dropped. Throws SyntaxError for another root or an empty name.
std::string SubkeyPath(const std::string& key) {
    const std::string upper = Upper(key);
    std::string path = key;  // a path without a root name lies under HKCU as well
    bool rooted = false;
    for (const std::string root : {"HKCU\\", "HKEY_CURRENT_USER\\"}) {
        if (upper.rfind(root, 0) == 0) {
            path = key.substr(root.size());
            rooted = true;
            break;
        }
    }
    if (upper == "HKCU" || upper == kRoot) {
        throw SyntaxError("ERROR: Invalid key name. Name a key below HKEY_CURRENT_USER.");
    }
    if (!rooted) {
        for (const char* other : {"HKLM", "HKEY_", "HKCR", "HKU\\", "HKCC"}) {
            if (upper.rfind(other, 0) == 0) {
                throw SyntaxError("ERROR: Invalid key name. Only HKEY_CURRENT_USER is kept here.");
            }
        }
    }
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    if (path.empty() || path.find("\\\\") != std::string::npos || path.front() == '\\') {
        throw SyntaxError("ERROR: Invalid key name.");
    }
    return path;
}

struct Arguments {
    std::string key;
    std::optional<std::string> name;  // /v
    bool allValues = false;           // /va
    std::optional<std::string> type;  // /t
    std::optional<std::string> data;  // /d
    bool force = false;               // /f
};

Arguments Parse(const std::vector<std::string>& arguments, bool allowAdd, bool allowDelete) {
    if (arguments.size() < 2) {
        throw SyntaxError("ERROR: Invalid syntax.");
    }
    Arguments parsed;
    parsed.key = arguments[1];
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        const std::string word = Upper(arguments[i]);
        auto value = [&]() -> std::string {
            if (i + 1 == arguments.size()) {
                throw SyntaxError("ERROR: Invalid syntax. " + arguments[i] + " needs a value.");
            }
            return arguments[++i];
        };
        if (word == "/V" && !parsed.name) {
            parsed.name = value();
        } else if (word == "/VA" && allowDelete) {
            parsed.allValues = true;
        } else if (word == "/T" && allowAdd && !parsed.type) {
            parsed.type = Upper(value());
        } else if (word == "/D" && allowAdd && !parsed.data) {
            parsed.data = value();
        } else if (word == "/F" && (allowAdd || allowDelete)) {
            parsed.force = true;
        } else {
            throw SyntaxError("ERROR: Invalid syntax. Unexpected argument: " + arguments[i]);
        }
    }
    if (parsed.name && parsed.allValues) {
        throw SyntaxError("ERROR: Invalid syntax. /v and /va exclude each other.");
    }
    return parsed;
}

// "0x1f" as reg shows a REG_DWORD.
std::string HexText(std::uint32_t value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

// A REG_DWORD's data: decimal, or hexadecimal after "0x".
std::optional<std::uint32_t> ParseDword(const std::string& text) {
    std::uint32_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last) {
        return std::nullopt;
    }
    return value;
}

bool Ask(const std::string& question, std::istream& in, std::ostream& out) {
    out << question << " " << std::flush;
    std::string answer;
    if (!std::getline(in, answer)) {
        out << '\n';
        return false;
    }
    const std::string upper = Upper(answer);
    return upper == "Y" || upper == "YES";
}

void PrintValue(platform::RegistryKey& key, const std::string& name, std::ostream& out) {
    const auto type = key.valueType(name);
    if (type == platform::RegistryValueType::Dword) {
        out << "    " << name << "    REG_DWORD    " << HexText(key.readDword(name).value_or(0))
            << '\n';
    } else {
        out << "    " << name << "    REG_SZ    " << key.readString(name).value_or("") << '\n';
    }
}

int Query(const Arguments& arguments, platform::Registry& registry, std::ostream& out,
          std::ostream& error) {
    const std::string path = SubkeyPath(arguments.key);
    auto key = registry.openExistingKey(path);
    if (!key || (arguments.name && !key->valueType(*arguments.name))) {
        error << kNotFound << '\n';
        return 1;
    }
    const std::string shown = std::string(kRoot) + "\\" + path;
    out << '\n' << shown << '\n';
    if (arguments.name) {
        PrintValue(*key, *arguments.name, out);
        out << '\n';
        return 0;
    }
    for (const std::string& name : key->valueNames()) {
        PrintValue(*key, name, out);
    }
    out << '\n';
    for (const std::string& subkey : key->subkeyNames()) {
        out << shown << '\\' << subkey << '\n';
    }
    return 0;
}

int Add(const Arguments& arguments, platform::Registry& registry, std::istream& in,
        std::ostream& out, std::ostream& error) {
    const std::string path = SubkeyPath(arguments.key);
    const std::string type = arguments.type.value_or("REG_SZ");
    if (type != "REG_SZ" && type != "REG_DWORD") {
        throw SyntaxError("ERROR: Invalid syntax. Only REG_SZ and REG_DWORD are kept here.");
    }
    if ((arguments.type || arguments.data) && !arguments.name) {
        throw SyntaxError("ERROR: Invalid syntax. /t and /d go with /v.");
    }
    std::optional<std::uint32_t> dword;
    if (type == "REG_DWORD") {
        dword = ParseDword(arguments.data.value_or("0"));
        if (!dword) {
            throw SyntaxError("ERROR: Invalid syntax. Specify a valid numeric value.");
        }
    }
    auto key = registry.openKey(path);
    if (!key) {
        error << "ERROR: The registry store cannot be opened.\n";
        return 1;
    }
    if (arguments.name) {
        if (key->valueType(*arguments.name) && !arguments.force &&
            !Ask("Value " + *arguments.name + " exists, overwrite(Yes/No)?", in, out)) {
            out << "The operation was canceled by the user.\n";
            return 0;
        }
        const bool written = dword ? key->writeDword(*arguments.name, *dword)
                                   : key->writeString(*arguments.name, arguments.data.value_or(""));
        if (!written) {
            error << "ERROR: The value cannot be written.\n";
            return 1;
        }
    }
    out << kDone << '\n';
    return 0;
}

int Delete(const Arguments& arguments, platform::Registry& registry, std::istream& in,
           std::ostream& out, std::ostream& error) {
    const std::string path = SubkeyPath(arguments.key);
    const std::string shown = std::string(kRoot) + "\\" + path;
    auto key = registry.openExistingKey(path);
    if (!key || (arguments.name && !key->valueType(*arguments.name))) {
        error << kNotFound << '\n';
        return 1;
    }
    std::string question;
    if (arguments.name) {
        question = "Delete the registry value " + *arguments.name + " (Yes/No)?";
    } else if (arguments.allValues) {
        question = "Delete all values under the registry key " + shown + " (Yes/No)?";
    } else {
        question = "Permanently delete the registry key " + shown + " (Yes/No)?";
    }
    if (!arguments.force && !Ask(question, in, out)) {
        out << "The operation was canceled by the user.\n";
        return 0;
    }
    bool deleted = true;
    if (arguments.name) {
        deleted = key->deleteValue(*arguments.name);
    } else if (arguments.allValues) {
        for (const std::string& name : key->valueNames()) {
            deleted = key->deleteValue(name) && deleted;
        }
    } else {
        deleted = registry.deleteKeyTree(path);
    }
    if (!deleted) {
        error << "ERROR: The registry store cannot be changed.\n";
        return 1;
    }
    out << kDone << '\n';
    return 0;
}

}  // namespace

int RunRegTool(const std::vector<std::string>& arguments, platform::Registry& registry,
               std::istream& in, std::ostream& out, std::ostream& error) {
    try {
        const std::string operation = arguments.empty() ? "" : Upper(arguments[0]);
        if (operation == "/?" || operation == "-?" || operation == "--HELP" || operation == "-H") {
            out << RegHelpText();
            return 0;
        }
        if (operation == "QUERY") {
            return Query(Parse(arguments, false, false), registry, out, error);
        }
        if (operation == "ADD") {
            return Add(Parse(arguments, true, false), registry, in, out, error);
        }
        if (operation == "DELETE") {
            return Delete(Parse(arguments, false, true), registry, in, out, error);
        }
        throw SyntaxError(arguments.empty()
                              ? "ERROR: Invalid syntax."
                              : "ERROR: Invalid syntax. Unknown operation: " + arguments[0]);
    } catch (const SyntaxError& problem) {
        error << problem.what() << "\nType \"qnreg /?\" for usage.\n";
        return 1;
    }
}

std::string RegHelpText() {
    return R"(Usage: qnreg OPERATION KEY [SWITCHES]
Reads and edits Quenlo's registry store (HKEY_CURRENT_USER) the way reg does.

  qnreg query KEY [/v NAME]
  qnreg add KEY [/v NAME] [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
  qnreg delete KEY [/v NAME | /va] [/f]

  KEY    a key below HKEY_CURRENT_USER, e.g. HKCU\Software\Quenlo\Settings
         ("HKCU\" and "HKEY_CURRENT_USER\" may be left out)
  /v     the value's name          /va   every value of the key
  /t     the value's type (REG_SZ by default)
  /d     the data: text, or for REG_DWORD a number (decimal, or hex after 0x)
  /f     no question before overwriting or deleting

Without /v or /va, delete removes the key with everything below it.
The store is $QUENLO_REGISTRY, else $XDG_CONFIG_HOME/quenlo/registry.sqlite3.
Exit status: 0 on success, 1 on failure.
)";
}

}  // namespace quenlo::cli
