// Renders every window of the program to a PNG, offscreen:
//   quenlo_screenshots FOLDER
// The windows show sample content so the pictures say something.

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ProgramRegistry.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmSettings.h"
#include "freespace/TfrmDiskSpace.h"
#include "freespace/WipeWindow.h"
#include "platform/Registry.h"
#include "shredlist/TfrmFiles.h"
#include "wipe/TfrmShred.h"

using namespace quenlo;

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 2) {
        return 2;
    }
    const QString folder = argv[1];
    QDir().mkpath(folder);
    const auto samples = std::filesystem::temp_directory_path() / "quenlo-screenshot-samples";
    std::filesystem::create_directories(samples / "Photos 2026");
    std::ofstream(samples / "tax-return.pdf") << std::string(183'000, 'x');
    std::ofstream(samples / "passwords.txt") << std::string(1'536, 'x');
    std::ofstream(samples / "Photos 2026" / "beach.jpg") << std::string(2'400'000, 'x');
    // Drives for the wizard: folders standing in for a fixed and a removable drive.
    std::filesystem::create_directories(samples / "disk");
    std::filesystem::create_directories(samples / "stick");
    const std::string drives = "C=" + (samples / "disk").string() + ";E=" +
                               (samples / "stick").string() + ":removable";
    ::setenv("QUENLO_DRIVES", drives.c_str(), 1);
    auto registry = platform::openRegistryStore(samples / "registry.sqlite3");
    app::SetProgramRegistry(registry.get());

    QApplication application(argc, argv);
    QApplication::setApplicationName("Quenlo ");
    gui::CreateFormsForMode(app::StartupMode::Plain);
    gui::frmMain->show();
    gui::frmFiles->AddEntries(
        {samples / "Photos 2026", samples / "tax-return.pdf", samples / "passwords.txt"});
    gui::frmFiles->VST->expand(gui::frmFiles->model().index(0, 0));
    QApplication::processEvents();
    gui::frmMain->grab().save(folder + "/main-window.png");

    gui::TfrmShred& shred = *gui::frmShred;
    shred.labFolder->setText("Folder: /home/user/Documents/");
    shred.labTitle->setText("File: tax-return.pdf");
    shred.labProcessed->setText("2  of  3");
    shred.labMetod->setText("Wiping Method DOD 5220-22M  (pass 2)");
    shred.jobBar().setRange(0, 3);
    shred.jobBar().setPosition(2);
    shred.passBar().setRange(0, 179);
    shred.passBar().setPosition(120);
    shred.show();
    QApplication::processEvents();
    shred.grab().save(folder + "/progress-window.png");

    gui::TfrmSettings& settings = *gui::frmSettings;
    settings.show();
    QApplication::processEvents();
    settings.grab().save(folder + "/settings-dialog.png");
    settings.hide();

    auto* about = new gui::TfrmAbout(gui::frmMain);
    about->show();
    QApplication::processEvents();
    about->grab().save(folder + "/about-box.png");
    delete about;

    // The wizard's two pages; the second with a run as it looks halfway.
    auto* wizard = new gui::TfrmDiskSpace;
    wizard->UcitajDrajvove();
    wizard->driveChecks[1]->setChecked(true);
    wizard->show();
    QApplication::processEvents();
    wizard->grab().save(folder + "/wizard-drives.png");
    wizard->bNextClick();
    wizard->labEstimate->setText(
        "Free space to wipe: 212.4 GB. With 3 passes this takes about 2 hours 50 minutes.");
    for (const char* line : {"Start Wiping disk C:\\", "Flushing disk buffers",
                             "Flushing disk buffers", "Disk wiped C:\\",
                             "Start Wiping disk E:\\", "Flushing disk buffers"}) {
        wizard->AddLogLine(line, freespace::kInformationIcon);
    }
    wizard->SetDiskCaption("DRIVE E:");
    wizard->SetProgressRange(0, 100);
    wizard->SetProgressPosition(42);
    wizard->SetStartVisible(false);
    wizard->SetStopVisible(true);
    wizard->SetBackEnabled(false);
    wizard->labTime->setText(gui::ElapsedTimeText(1 * 3600 + 11 * 60 + 5));
    QApplication::processEvents();
    wizard->grab().save(folder + "/wizard-wipe.png");
    delete wizard;

    gui::DestroyForms();
    std::filesystem::remove_all(samples);
    return 0;
}
