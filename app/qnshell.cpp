// qnshell: the file-manager integration of Quenlo on Linux, standing where
// the Explorer extension stands on Windows.
//
//   qnshell --register [--quiet]    install the context-menu entries
//   qnshell --unregister [--quiet]  remove exactly what --register installed
//   qnshell shred PATH...           hand the paths over and start "quenlo -shell"
//   qnshell list PATH...            add the paths to the Shred list, start "quenlo -list"
//
// Paths travel as separate arguments and registry value names only, never
// through a shell, so any name the file system allows arrives intact. The
// entries installed call qnshell with the selected paths as arguments.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ShellContract.h"
#include "platform/PathText.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace fs = std::filesystem;
using namespace quenlo;

namespace {

constexpr const char* kMarker = "X-Quenlo-Helper=1";

fs::path Home() {
    const char* home = std::getenv("HOME");
    return home ? fs::path(home) : fs::path();
}

fs::path DataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    return xdg && *xdg ? fs::path(xdg) : Home() / ".local" / "share";
}

fs::path ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    return xdg && *xdg ? fs::path(xdg) : Home() / ".config";
}

// An Exec= argument quoted as the desktop entry rules ask.
std::string DesktopQuote(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    // The value itself escapes backslashes once more.
    std::string value;
    for (char c : quoted) {
        value += c;
        if (c == '\\') {
            value += '\\';
        }
    }
    return value;
}

struct Installed {
    fs::path path;
    std::string content;  // empty: a link to qnshell
};

std::vector<Installed> Entries(const fs::path& helper) {
    const std::string exec = DesktopQuote(helper.string());
    std::vector<Installed> entries;
    entries.push_back(
        {DataHome() / "kio" / "servicemenus" / "quenlo.desktop",
         "[Desktop Entry]\nType=Service\nMimeType=all/all;inode/directory;\n"
         "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\nActions=quenloShred;quenloList;\n" +
             std::string(kMarker) +
             "\n\n[Desktop Action quenloShred]\nName=Shred with Quenlo\nIcon=edit-delete\nExec=" +
             exec +
             " shred %F\n\n[Desktop Action quenloList]\nName=Add to Quenlo Shred list\n"
             "Icon=list-add\nExec=" +
             exec + " list %F\n"});
    // GNOME Files runs a script with the selection as its arguments; the
    // script is qnshell itself, told the command by its name.
    entries.push_back({DataHome() / "nautilus" / "scripts" / "Shred with Quenlo", {}});
    entries.push_back({DataHome() / "nautilus" / "scripts" / "Add to Quenlo Shred list", {}});
    for (const auto& [file, name, command] :
         {std::tuple{"quenlo-shred.nemo_action", "Shred with Quenlo", "shred"},
          std::tuple{"quenlo-list.nemo_action", "Add to Quenlo Shred list", "list"}}) {
        entries.push_back({DataHome() / "nemo" / "actions" / file,
                           std::string("[Nemo Action]\nName=") + name + "\nExec=" + exec + " " +
                               command + " %F\nSelection=notnone\nExtensions=any;dir;\n" + kMarker +
                               "\n"});
    }
    // Thunar keeps every custom action in one file: only a file of our own
    // is ever written, never the user's.
    entries.push_back({ConfigHome() / "Thunar" / "uca.xml",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- " + std::string(kMarker) +
                           " -->\n<actions>\n<action><icon>edit-delete</icon><name>Shred with "
                           "Quenlo</name><command>" +
                           exec +
                           " shred %F</command><patterns>*</patterns><directories/>"
                           "<other-files/><text-files/></action>\n<action><icon>list-add</icon>"
                           "<name>Add to Quenlo Shred list</name><command>" +
                           exec +
                           " list %F</command><patterns>*</patterns><directories/>"
                           "<other-files/><text-files/></action>\n</actions>\n"});
    return entries;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether `entry` is there as qnshell installed it.
bool IsOurs(const Installed& entry, const fs::path& helper) {
    std::error_code error;
    if (entry.content.empty()) {
        return fs::is_symlink(entry.path, error) && fs::read_symlink(entry.path, error) == helper;
    }
    return fs::is_regular_file(entry.path, error) &&
           ReadFile(entry.path).find(kMarker) != std::string::npos;
}

int Register(const fs::path& helper, bool install, bool quiet) {
    int failures = 0;
    for (const Installed& entry : Entries(helper)) {
        std::error_code error;
        const bool exists = fs::exists(fs::symlink_status(entry.path, error));
        if (!install) {
            if (exists && IsOurs(entry, helper)) {
                fs::remove(entry.path, error);
                if (!quiet) {
                    std::printf("removed %s\n", entry.path.c_str());
                }
            }
            continue;
        }
        if (exists) {
            if (!IsOurs(entry, helper) && !quiet) {
                std::printf("left alone (not ours): %s\n", entry.path.c_str());
            }
            if (!IsOurs(entry, helper) || entry.content.empty()) {
                continue;
            }
        }
        fs::create_directories(entry.path.parent_path(), error);
        if (entry.content.empty()) {
            fs::create_symlink(helper, entry.path, error);
        } else {
            std::ofstream(entry.path, std::ios::binary | std::ios::trunc) << entry.content;
            fs::permissions(entry.path,
                            fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read,
                            error);
        }
        if (error) {
            ++failures;
        } else if (!quiet) {
            std::printf("installed %s\n", entry.path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}

// Writes the paths, made absolute, as value names of `keyPath` (emptied
// first when `replace`) and starts quenlo with `argument`.
int HandOver(const fs::path& helper, std::string_view keyPath, bool replace,
             std::string_view argument, const std::vector<std::string>& paths) {
    if (paths.empty()) {
        std::fprintf(stderr, "qnshell: no paths given\n");
        return 2;
    }
    auto key = platform::currentUserRegistry().openKey(keyPath);
    if (!key) {
        std::fprintf(stderr, "qnshell: the registry store cannot be opened\n");
        return 1;
    }
    if (replace) {
        for (const std::string& name : key->valueNames()) {
            key->deleteValue(name);
        }
    }
    for (const std::string& path : paths) {
        std::error_code error;
        fs::path absolute = fs::absolute(platform::nativeTextToPath(path), error);
        key->writeString(platform::pathToNativeText(error ? fs::path(path) : absolute), "");
    }
    const fs::path quenlo = helper.parent_path() / "quenlo";
    if (!platform::startDetached(quenlo, {std::string(argument)})) {
        std::fprintf(stderr, "qnshell: cannot start %s\n", quenlo.c_str());
        return 1;
    }
    return 0;
}

void Usage() {
    std::printf(
        "usage: qnshell --register|--unregister [--quiet]\n"
        "       qnshell shred PATH...\n"
        "       qnshell list PATH...\n");
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path helper = platform::executablePath();
    std::vector<std::string> args(argv + 1, argv + argc);
    // Started as a file manager's script: the name says the command.
    const std::string invokedAs = fs::path(argv[0]).filename().string();
    if (invokedAs == "Shred with Quenlo") {
        args.insert(args.begin(), "shred");
    } else if (invokedAs == "Add to Quenlo Shred list") {
        args.insert(args.begin(), "list");
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        Usage();
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    if (command == "--register" || command == "--unregister") {
        const bool quiet = args.size() > 1 && args[1] == "--quiet";
        return Register(helper, command == "--register", quiet);
    }
    std::vector<std::string> paths(args.begin() + 1, args.end());
    if (!paths.empty() && paths[0] == "--") {
        paths.erase(paths.begin());
    }
    if (command == "shred") {
        return HandOver(helper, shell::kHandOffKey, true, shell::kShellArgument, paths);
    }
    if (command == "list") {
        return HandOver(helper, shell::kShredListKey, false, shell::kListArgument, paths);
    }
    std::fprintf(stderr, "qnshell: unknown command '%s'\n", command.c_str());
    Usage();
    return 2;
}
