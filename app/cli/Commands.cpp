#include "app/cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "app/ActiveSettings.h"
#include "app/ProgramRegistry.h"
#include "app/SettingsStore.h"
#include "app/cli/CliOptions.h"
#include "app/cli/ConsoleOutput.h"
#include "app/cli/ConsolePrompts.h"
#include "app/cli/ConsoleShredProgress.h"
#include "app/cli/ConsoleWipeWindow.h"
#include "app/cli/StepQueue.h"
#include "freespace/DiskWiper.h"
#include "freespace/FreeSpaceFill.h"
#include "freespace/OfferedDrives.h"
#include "freespace/WipeEstimate.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "shredlist/FileSearch.h"
#include "shredlist/PathInfo.h"
#include "shredlist/ShredJob.h"
#include "sysinfo/TtvAPIThing.h"
#include "wipe/ShredState.h"
#include "wipe/WipeMethods.h"

namespace quenlo::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "quenlo-cli";

ProgressMode ModeFor(const Options& options, const Console& console) {
    if (options.quiet) {
        return ProgressMode::Quiet;
    }
    return console.errorIsTerminal ? ProgressMode::Live : ProgressMode::Lines;
}

// The method of the command line, else the stored default (a stored index
// outside 0..4 means the default method).
std::int32_t ChosenMethod(const Options& options) {
    if (options.method) {
        return *options.method;
    }
    const std::int32_t stored = app::ActiveSettings.DefaultAlgorithm;
    return wipe::FindWipeMethod(stored) != nullptr ? stored : wipe::kDefaultWipeMethod;
}

// Whether anything (a link included, never followed) stands at `path`.
bool EntryExists(const fs::path& path) {
    return platform::systemFileSystem().getAttributes(path) != platform::InvalidFileAttributes;
}

std::string Quoted(const fs::path& path) {
    return "'" + Printable(platform::pathToNativeText(path)) + "'";
}

// Asks before destroying anything, unless --yes or the stored settings say
// not to. Returns an exit status to end with, or nothing to go on.
std::optional<int> Confirm(const Options& options, bool storedConfirmation,
                           const std::string& question, Console& console, ConsoleOutput& output) {
    if (options.yes || !storedConfirmation) {
        return std::nullopt;
    }
    if (!console.inputIsTerminal) {
        output.errorLine(std::string(kProgram) +
                         ": standard input is not a terminal, so nobody can answer \"" + question +
                         "\"; give --yes to go on without the question");
        return kExitUsage;
    }
    ConsolePrompts prompts(output, console.in, console.error, kProgram);
    if (!prompts.confirmOkCancel(question)) {
        output.errorLine(std::string(kProgram) + ": nothing was done");
        return kExitIncomplete;
    }
    return std::nullopt;
}

// A path of the command line as the job takes it: absolute, without a
// trailing separator. Throws UsageError for "." and "..", which name a
// folder by way of another.
fs::path JobPath(const std::string& operand) {
    fs::path path = platform::nativeTextToPath(operand);
    if (path.empty()) {
        throw UsageError("an empty path");
    }
    path = fs::absolute(path);
    std::string text = path.native();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    path = fs::path(text);
    const fs::path last = path.filename();
    if (last == "." || last == "..") {
        throw UsageError("refusing to shred '.' or '..': " + Quoted(path));
    }
    return path;
}

ShredWorkload CountWork(const std::vector<fs::path>& paths, int passes) {
    ShredWorkload workload;
    workload.passes = passes;
    platform::FileSystem& files = platform::systemFileSystem();
    for (const fs::path& path : paths) {
        if (shredlist::IsFolder(path, files)) {
            for (const fs::path& file : shredlist::FileSearch(files).Search(path).Files) {
                ++workload.files;
                workload.bytes += static_cast<std::uint64_t>(
                    std::max<std::int64_t>(shredlist::GetEntrySize(file, files), 0));
            }
        } else {
            ++workload.files;
            workload.bytes += static_cast<std::uint64_t>(
                std::max<std::int64_t>(shredlist::GetEntrySize(path, files), 0));
        }
    }
    return workload;
}

int Shred(const Options& options, Console& console) {
    ConsoleOutput output(console.out, console.error, false);
    app::ReadShellSettings(app::ProgramRegistry());
    const std::int32_t method = ChosenMethod(options);

    // Every path first, so a typing error stops nothing half-way.
    std::vector<fs::path> paths;
    for (const std::string& operand : options.operands) {
        paths.push_back(JobPath(operand));
    }
    bool incomplete = false;
    std::vector<fs::path> present;
    for (const fs::path& path : paths) {
        if (!EntryExists(path)) {
            output.errorLine(std::string(kProgram) + ": no such file or folder: " + Quoted(path));
            incomplete = true;
        } else if (std::find(present.begin(), present.end(), path) == present.end()) {
            present.push_back(path);
        }
    }
    if (present.empty()) {
        return kExitIncomplete;
    }
    if (auto status = Confirm(options, app::ActiveSettings.ConfirmShreddFiles,
                              shredlist::kShredQuestion, console, output)) {
        return *status;
    }
    if (console.catchInterrupts != nullptr) {
        console.catchInterrupts();
    }

    const wipe::WipeMethodInfo& info = *wipe::FindWipeMethod(method);
    const ProgressMode mode = ModeFor(options, console);
    ConsoleOutput live(console.out, console.error, mode == ProgressMode::Live, console.columns);
    ConsoleShredProgress progress(live, mode,
                                  CountWork(present, static_cast<int>(info.passes.size())),
                                  platform::systemClock(), console.interruptCount);
    ConsolePrompts prompts(live, console.in, console.error, kProgram);
    if (!options.quiet) {
        live.line("Wipe method: " + std::string(info.listText) + " (" +
                  std::to_string(info.passes.size()) +
                  (info.passes.size() == 1 ? " pass)" : " passes)"));
    }
    app::ActiveSettings.DefaultAlgorithm = method;
    wipe::ShredServices& services = wipe::CurrentShredServices();
    services.progress = &progress;
    try {
        shredlist::ShredJob(progress, prompts).RunHandOffJob(present);
    } catch (...) {
        services.progress = nullptr;
        throw;
    }
    services.progress = nullptr;
    live.clearStatus();

    const bool cancelled = wipe::ShredCancelled.load();
    for (const fs::path& path : present) {
        if (EntryExists(path)) {
            live.errorLine(std::string(kProgram) + ": not shredded: " + Quoted(path));
            incomplete = true;
        }
    }
    if (cancelled) {
        live.errorLine(std::string(kProgram) + ": cancelled by the user");
        incomplete = true;
    }
    incomplete = incomplete || prompts.complained();
    if (!options.quiet && !incomplete) {
        live.line("Shredded " + std::to_string(present.size()) +
                  (present.size() == 1 ? " item, " : " items, ") +
                  freespace::SizeText(progress.bytesDone()) + " written.");
    }
    return incomplete ? kExitIncomplete : kExitDone;
}

// A drive of the command line: "E", "E:", "E:\" (any letter case), or the
// mount point a drive letter stands for.
char DriveLetter(const std::string& operand, const std::vector<freespace::OfferedDrive>& offered) {
    const bool letterForm =
        !operand.empty() && std::isalpha(static_cast<unsigned char>(operand[0])) &&
        (operand.size() == 1 ||
         (operand[1] == ':' &&
          (operand.size() == 2 ||
           (operand.size() == 3 && (operand[2] == '\\' || operand[2] == '/')))));
    char letter = '\0';
    if (letterForm) {
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(operand[0])));
    } else {
        // Compared without a trailing separator: "/media/stick/" is "/media/stick".
        const auto normal = [](const fs::path& path) {
            const fs::path absolute = fs::absolute(path).lexically_normal();
            return absolute.has_filename() ? absolute : absolute.parent_path();
        };
        const fs::path wanted = normal(platform::nativeTextToPath(operand));
        for (const freespace::OfferedDrive& drive : offered) {
            const auto root = platform::DriveRootPath(drive.letter);
            if (root && normal(*root) == wanted) {
                letter = drive.letter;
            }
        }
        if (letter == '\0') {
            throw UsageError("no drive is mounted at '" + Printable(operand) + "'");
        }
    }
    const bool isOffered = std::any_of(offered.begin(), offered.end(),
                                       [&](const auto& drive) { return drive.letter == letter; });
    if (!isOffered) {
        throw UsageError(std::string("drive ") + letter +
                         ": is not a fixed or removable drive here");
    }
    return letter;
}

int WipeFree(const Options& options, Console& console) {
    ConsoleOutput output(console.out, console.error, false);
    platform::Registry& registry = app::ProgramRegistry();
    app::ReadShellSettings(registry);
    const std::int32_t method = ChosenMethod(options);
    sysinfo::TtvAPIThing information;
    const auto offered = freespace::OfferedDrives(information.LogicalDrives(), information);
    std::set<char> letters;
    for (const std::string& operand : options.operands) {
        letters.insert(DriveLetter(operand, offered));
    }
    const std::string drives(letters.begin(), letters.end());

    const wipe::WipeMethodInfo& info = *wipe::FindWipeMethod(method);
    std::uint64_t freeBytes = 0;
    std::string names;
    for (const char letter : drives) {
        if (const auto space = platform::GetDiskFreeSpaceEx(letter)) {
            freeBytes += space->freeToCaller;
        }
        const auto root = platform::DriveRootPath(letter);
        names += std::string(names.empty() ? "" : ", ") + letter + ":\\" +
                 (root ? " (" + Printable(platform::pathToNativeText(*root)) + ")" : "");
    }
    if (!options.quiet) {
        output.line("Wipe method: " + std::string(info.listText));
        output.line(freespace::EstimateText(freeBytes, freespace::FillPassCount(method),
                                            freespace::StoredWriteRate(registry)));
    }
    if (auto status =
            Confirm(options, true, "Wipe the free space of " + names + "?", console, output)) {
        return *status;
    }
    if (console.catchInterrupts != nullptr) {
        console.catchInterrupts();
    }

    const ProgressMode mode = ModeFor(options, console);
    ConsoleOutput live(console.out, console.error, mode == ProgressMode::Live, console.columns);
    ConsoleWipeWindow window(live, mode, platform::systemClock(), kProgram);
    StepQueue windowThread;
    freespace::DiskWiperServices services;
    services.registry = &registry;
    freespace::TDiskWiper::Start(drives, method, window, windowThread, std::move(services));
    int interruptsSeen = console.interruptCount ? console.interruptCount() : 0;
    windowThread.runUntil(
        [&] { return window.ended(); },
        [&] {
            if (console.interruptCount != nullptr && console.interruptCount() != interruptsSeen) {
                interruptsSeen = console.interruptCount();
                if (!window.StopRequested()) {
                    window.requestStop();
                    live.errorLine(std::string(kProgram) +
                                   ": stopping; the temporary files are being removed");
                }
            }
            window.tick();
        },
        std::chrono::milliseconds(100));
    // The thread ends right after its last step; it must not outlive the
    // window and the queue it used.
    while (freespace::TDiskWiper::RunningThreads() > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return window.warnings() > 0 ? kExitIncomplete : kExitDone;
}

const char* TypeName(platform::DriveType type) {
    return type == platform::DriveType::Removable ? "removable" : "fixed";
}

int ListDrives(Console& console) {
    sysinfo::TtvAPIThing information;
    std::vector<std::vector<std::string>> rows;
    for (const freespace::OfferedDrive& drive :
         freespace::OfferedDrives(information.LogicalDrives(), information)) {
        const auto root = platform::DriveRootPath(drive.letter);
        const auto space = platform::GetDiskFreeSpaceEx(drive.letter);
        rows.push_back({std::string(1, drive.letter) + ":",
                        root ? Printable(platform::pathToNativeText(*root)) : "-",
                        TypeName(drive.type), Printable(drive.caption),
                        drive.fileSystem.empty() ? "-" : Printable(drive.fileSystem),
                        space ? freespace::SizeText(space->freeToCaller) + " free" : "no medium"});
    }
    std::vector<std::size_t> widths(6, 0);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) {
                line += std::string(widths[i] - row[i].size() + 2, ' ');
            }
        }
        console.out << line << '\n';
    }
    return kExitDone;
}

int ListMethods(Console& console) {
    for (const wipe::WipeMethodInfo& method : wipe::WipeMethods()) {
        const auto index = static_cast<std::size_t>(method.method);
        std::string name(kMethodNames[index]);
        std::string text(method.listText);
        name.resize(10, ' ');
        text.resize(40, ' ');
        console.out << index << "  " << name << text << method.passes.size()
                    << (method.passes.size() == 1 ? " pass" : " passes") << '\n';
    }
    return kExitDone;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, Console& console) {
    try {
        const Options options = ParseArguments(arguments);
        switch (options.command) {
            case Command::Help:
                console.out << HelpText();
                return kExitDone;
            case Command::Shred:
                return Shred(options, console);
            case Command::WipeFree:
                return WipeFree(options, console);
            case Command::Drives:
                return ListDrives(console);
            case Command::Methods:
                return ListMethods(console);
        }
    } catch (const UsageError& error) {
        console.error << kProgram << ": " << error.what() << " (see " << kProgram << " --help)\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        console.error << kProgram << ": " << error.what() << '\n';
        return kExitIncomplete;
    }
    return kExitUsage;
}

}  // namespace quenlo::cli
