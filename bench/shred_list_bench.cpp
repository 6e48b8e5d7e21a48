// The Shred list at scale:
//   quenlo_shred_list_bench [FOLDER]
// adds 100,000 paths, paints the first screen of the window (offscreen) and
// counts the entries that painting filled, sorts 10,000 filled entries by
// Name (every comparison asks the file system whether a path is a folder)
// and reports the memory 100,000 filled entries take. FOLDER (default: a
// temporary folder) holds the 10,000 files made for the sort.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ProgramRegistry.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmSettings.h"
#include "platform/Registry.h"
#include "shredlist/TfrmFiles.h"

using namespace quenlo;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Resident memory of this process in MiB, from /proc.
double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0 / (1 << 20);
}

std::size_t FilledCount(shredlist::ShredList& list) {
    std::size_t filled = 0;
    for (std::size_t i = 0; i < list.topLevelCount(); ++i) {
        filled += list.topLevelUnfilled(i).filled() ? 1u : 0u;
    }
    return filled;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() / "quenlo-list-bench";
    std::filesystem::create_directories(folder);
    auto registry = platform::openRegistryStore(folder / "registry.sqlite3");
    app::SetProgramRegistry(registry.get());
    QApplication application(argc, argv);
    gui::CreateFormsForMode(app::StartupMode::Plain);
    gui::frmMain->resize(706, 458);
    gui::frmMain->show();
    QApplication::processEvents();
    gui::TfrmFiles& files = *gui::frmFiles;

    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 100'000; ++i) {
        paths.push_back(folder / ("entry-" + std::to_string(i) + ".txt"));
    }
    auto start = Clock::now();
    files.AddEntries(paths);
    const double addMs = Milliseconds(start);
    start = Clock::now();
    files.VST->repaint();
    QApplication::processEvents();
    const double paintMs = Milliseconds(start);
    std::printf("AddEntries of 100000 paths: %.1f ms (goal < 100 ms, %.2f of it)\n", addMs,
                addMs / 100);
    std::printf("first paint: %.1f ms, entries filled: %zu of 100000\n", paintMs,
                FilledCount(files.list()));

    const double before = ResidentMiB();
    for (std::size_t i = 0; i < files.list().topLevelCount(); ++i) {
        files.list().topLevel(i);
    }
    const double after = ResidentMiB();
    std::printf("100000 filled entries: %.1f MiB resident more than unfilled (goal < 100 MB)\n",
                after - before);

    files.list().RemoveAllEntries();
    std::vector<std::filesystem::path> sortPaths;
    for (int i = 0; i < 10'000; ++i) {
        const auto path = folder / ("sort-" + std::to_string((i * 7919) % 10'000));
        if (i % 10 == 0) {
            std::filesystem::create_directories(path);
        } else {
            std::ofstream(path) << "x";
        }
        sortPaths.push_back(path);
    }
    files.AddEntries(sortPaths);
    for (std::size_t i = 0; i < files.list().topLevelCount(); ++i) {
        files.list().topLevel(i);
    }
    files.list().HeaderClick(shredlist::SortColumn::Type);  // the next click sorts Name ascending
    start = Clock::now();
    files.VSTHeaderClick(0);
    const double sortMs = Milliseconds(start);
    std::printf("sort of 10000 filled entries by Name: %.1f ms (goal < 1000 ms, %.2f of it)\n",
                sortMs, sortMs / 1000);

    gui::DestroyForms();
    std::filesystem::remove_all(folder);
    return 0;
}
