#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <chrono>
#include <functional>
#include <thread>

#include "app/ProgramRegistry.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "freespace/DiskWiper.h"
#include "freespace/TfrmDiskSpace.h"
#include "freespace/WipeEstimate.h"
#include "shredlist/TfrmFiles.h"
#include "tests/freespace/FillFixture.h"
#include "tests/support/FakeShell.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

namespace quenlo::gui {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStillRunning = "info:Wipe is still runing, please stop Wipe process first.";

// Carries out window events until `done` holds; false after a minute.
bool ProcessUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A wizard over a registry and prompts of the test's own, opened as the main
// window's command opens it, but shown without a modal loop so the test can
// drive it.
class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        app::SetProgramRegistry(registry.get());
        app::SetCurrentPrompts(&prompts);
    }
    void TearDown() override {
        if (frmDiskSpace != nullptr) {
            ProcessUntil([] { return !frmDiskSpace->RunAlive(); });
            delete frmDiskSpace;
        }
        ProcessUntil([] { return freespace::TDiskWiper::RunningThreads() == 0; });
        DestroyForms();
        TfrmFiles::setShellForTests(nullptr);
        app::SetProgramRegistry(nullptr);
        app::SetCurrentPrompts(nullptr);
    }

    TfrmDiskSpace& Open() {
        TfrmDiskSpace* wizard = CreateForm(frmDiskSpace);
        wizard->Notebook1->setCurrentIndex(0);
        wizard->UcitajDrajvove();
        wizard->show();
        return *wizard;
    }

    // The rows of LV as "icon caption".
    static std::vector<std::string> LogLines(const TfrmDiskSpace& wizard) {
        std::vector<std::string> lines;
        for (int row = 0; row < wizard.LV->rowCount(); ++row) {
            const QTableWidgetItem* item = wizard.LV->item(row, 0);
            lines.push_back(std::to_string(item->data(Qt::UserRole).toInt()) + " " +
                            item->text().toStdString());
        }
        return lines;
    }

    // A kept write rate, so the estimate never measures a write of its own.
    void KeepWriteRate() {
        registry->openKey(freespace::kWriteRateKey)->writeDword(freespace::kWriteRateValue, 100'000);
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
    test::ScriptedPrompts prompts;
};

TEST_F(Wizard, DriveLimitNextWithNothingCheckedAndTheMethodAtEachOpening) {
    // 19 drives (none of them present: no medium) are all offered ...
    std::string map;
    for (char letter = 'A'; letter <= 'S'; ++letter) {
        map += std::string(1, letter) + "=" + (dir / "absent").string() + ":removable;";
    }
    {
        test::DriveMap drives(map);
        TfrmDiskSpace& wizard = Open();
        EXPECT_EQ(wizard.driveLabels[19]->text(), "S:\\");
        EXPECT_EQ(wizard.driveChecks[1]->text(), "FLOPPY DRIVE");
        EXPECT_EQ(wizard.driveChecks[3]->text(), "Removable Disk");
        EXPECT_EQ(wizard.driveChecks[20], nullptr);
        wizard.cmbAlg->setCurrentIndex(4);
        wizard.close();
        EXPECT_EQ(frmDiskSpace, nullptr);
    }
    // ... one more and the list stays empty, so Next can only complain.
    test::DriveMap drives(map + "T=" + (dir / "absent").string() + ":removable");
    TfrmDiskSpace& wizard = Open();
    EXPECT_EQ(wizard.cmbAlg->currentIndex(), 2) << "the method chosen before is not kept";
    EXPECT_EQ(wizard.cmbAlg->currentText(), "DoD 5220-22.M");
    for (int slot = 0; slot < TfrmDiskSpace::kSlots; ++slot) {
        EXPECT_EQ(wizard.driveChecks[static_cast<std::size_t>(slot)], nullptr);
    }
    EXPECT_TRUE(wizard.ScrollBox1->widget()->findChildren<QCheckBox*>().isEmpty());
    wizard.bNext->click();
    EXPECT_EQ(prompts.asked, std::vector<std::string>{"info:Please select disk to wipe."});
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 0);
    EXPECT_EQ(wizard.focusWidget(), wizard.cmbAlg);
    EXPECT_EQ(wizard.LV->rowCount(), 0);
}

TEST_F(Wizard, NextAfterBackRewritesTheOpeningLines) {
    KeepWriteRate();
    fs::create_directory(dir / "stick");
    test::DriveMap drives("E=" + (dir / "stick").string() + ":removable");
    TfrmDiskSpace& wizard = Open();
    wizard.driveChecks[1]->setChecked(true);
    wizard.bNext->click();
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 1);
    EXPECT_EQ(wizard.focusWidget(), wizard.bStart);
    EXPECT_EQ(wizard.labPGLabel->text(), "DoD 5220-22.M");
    EXPECT_EQ(LogLines(wizard),
              (std::vector<std::string>{"0 Algorithm: DoD 5220-22.M", "0 Waiting for start..."}));
    // The estimate names the free space and a duration for three passes.
    EXPECT_TRUE(wizard.labEstimate->text().startsWith("Free space to wipe: "));
    EXPECT_TRUE(wizard.labEstimate->text().contains("With 3 passes"))
        << wizard.labEstimate->text().toStdString();
    EXPECT_TRUE(wizard.bStart->isVisible());
    EXPECT_FALSE(wizard.btnStop->isVisible());

    wizard.bBack->click();
    EXPECT_EQ(wizard.Notebook1->currentIndex(), 0);
    EXPECT_TRUE(wizard.driveChecks[1]->isChecked()) << "the choices are kept";
    wizard.cmbAlg->setCurrentIndex(0);
    wizard.bNext->click();
    EXPECT_EQ(wizard.labPGLabel->text(), "Simple One Pass");
    EXPECT_EQ(LogLines(wizard),
              (std::vector<std::string>{"0 Algorithm: Simple One Pass", "0 Waiting for start..."}));
    EXPECT_TRUE(wizard.labEstimate->text().contains("With 1 pass"))
        << wizard.labEstimate->text().toStdString();
}

TEST(ElapsedTime, HoursMinutesSecondsModuloADay) {
    EXPECT_EQ(ElapsedTimeText(0), "00:00:00");
    EXPECT_EQ(ElapsedTimeText(3 * 3600 + 25 * 60 + 7), "03:25:07");
    EXPECT_EQ(ElapsedTimeText(86400 + 61), "00:01:01");
}

TEST_F(Wizard, ElapsedTimeCountsWhileStartedAndKeepsItsValueWhenStopped) {
    test::DriveMap drives("");
    TfrmDiskSpace& wizard = Open();
    wizard.labTime->setText("07:00:00");
    wizard.StartElapsedTime();
    EXPECT_EQ(wizard.labTime->text(), "00:00:00");
    ASSERT_TRUE(ProcessUntil([&] { return wizard.labTime->text() != "00:00:00"; }));
    EXPECT_EQ(wizard.labTime->text().left(6), "00:00:");
    wizard.StopElapsedTime();
    const QString kept = wizard.labTime->text();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
    ProcessUntil([&] { return std::chrono::steady_clock::now() > until; });
    EXPECT_EQ(wizard.labTime->text(), kept);
}

// The wizard over drives on small file systems mounted by the test.
class WizardOnMountedDrives : public Wizard {
protected:
    // Mounts tmpfs drives of 2 MiB; skips the test when that is impossible.
    bool MountDrives(int count) {
        for (int i = 0; i < count; ++i) {
            mounts.push_back(std::make_unique<test::LoopMount>("tmpfs", 2));
            if (!mounts.back()->mounted()) {
                why = mounts.back()->whyNot();
                return false;
            }
        }
        return true;
    }
    std::string Root(std::size_t i) const { return mounts[i]->root().string(); }

    std::vector<std::unique_ptr<test::LoopMount>> mounts;
    std::string why;
};

TEST_F(WizardOnMountedDrives, DriveListOffersFixedAndRemovableDrivesWithTheirCaptions) {
    auto system = std::make_unique<test::LoopMount>("ext4", 8, "SYSTEM");
    auto blank = std::make_unique<test::LoopMount>("ext4", 8, "   ");
    if (!system->mounted() || !blank->mounted() || !MountDrives(2)) {
        GTEST_SKIP() << (system->mounted() ? why : system->whyNot());
    }
    // A: a floppy drive without a disk; C: a labelled fixed drive; D: an
    // optical drive; E: a removable drive without a label; F: a fixed drive
    // whose label is blanks.
    test::DriveMap drives("A=" + (dir / "no-disk").string() + ":removable;C=" +
                          system->root().string() + ";D=" + Root(0) + ":cdrom;E=" + Root(1) +
                          ":removable;F=" + blank->root().string() + ":fixed");
    TfrmDiskSpace& wizard = Open();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"A:\\", "FLOPPY DRIVE"}, {"C:\\", "SYSTEM"}, {"E:\\", "Removable Disk"}, {"F:\\", "LOCAL DISK"}};
    const int checkLeft = 30 + wizard.driveLabels[1]->width() + 10;
    for (std::size_t slot = 1; slot <= expected.size(); ++slot) {
        SCOPED_TRACE(slot);
        const int top = 15 + 20 * static_cast<int>(slot - 1);
        EXPECT_EQ(wizard.driveLabels[slot]->text().toStdString(), expected[slot - 1].first);
        EXPECT_EQ(wizard.driveChecks[slot]->text().toStdString(), expected[slot - 1].second);
        EXPECT_EQ(wizard.driveLabels[slot]->pos(), QPoint(30, top));
        EXPECT_EQ(wizard.driveChecks[slot]->pos(), QPoint(checkLeft, top));
        EXPECT_FALSE(wizard.driveChecks[slot]->isChecked());
    }
    EXPECT_EQ(wizard.driveLabels[0], nullptr);
    EXPECT_EQ(wizard.driveLabels[5], nullptr);
    // Building the list again replaces the entries rather than adding to them.
    wizard.UcitajDrajvove();
    EXPECT_EQ(wizard.ScrollBox1->widget()->findChildren<QCheckBox*>().size(), 4);
    EXPECT_EQ(wizard.ScrollBox1->widget()->findChildren<QLabel*>().size(), 4);
}

TEST_F(WizardOnMountedDrives, StartRunsTheCheckedDrivesAndHoldsTheWindowUntilTheEnd) {
    if (!MountDrives(3)) {
        GTEST_SKIP() << why;
    }
    KeepWriteRate();
    test::FakeShell shell;
    TfrmFiles::setShellForTests(&shell);
    CreateFormsForMode(app::StartupMode::Plain);
    frmMain->hide();  // as while the main window's command has the wizard open

    test::DriveMap drives("C=" + Root(0) + ";D=" + Root(1) + ";E=" + Root(2) + ":removable");
    TfrmDiskSpace& wizard = Open();
    QPointer<TfrmDiskSpace> alive(&wizard);
    wizard.cmbAlg->setCurrentIndex(0);
    wizard.driveChecks[3]->setChecked(true);
    wizard.driveChecks[1]->setChecked(true);
    wizard.bNext->click();
    wizard.bStart->click();
    EXPECT_TRUE(wizard.RunAlive());

    // During the first fill: running state, and closing is refused.
    ASSERT_TRUE(ProcessUntil([&] { return wizard.WipeRunning(); }));
    EXPECT_FALSE(wizard.bStart->isVisible());
    EXPECT_TRUE(wizard.btnStop->isVisible());
    EXPECT_FALSE(wizard.bBack->isEnabled());
    EXPECT_EQ(wizard.labTime->text(), "00:00:00");
    EXPECT_EQ(wizard.panDisk->text(), "DRIVE C:");
    wizard.close();
    EXPECT_EQ(prompts.asked, std::vector<std::string>{kStillRunning});
    EXPECT_TRUE(wizard.isVisible());

    // In the pause after the first drive the window looks idle, yet the run
    // still uses it: Start is ignored and closing is still refused.
    ASSERT_TRUE(ProcessUntil([&] { return LogLines(wizard).back() == "0 Disk wiped C:\\"; }));
    ASSERT_TRUE(ProcessUntil([&] { return !wizard.WipeRunning(); }));
    EXPECT_TRUE(wizard.bStart->isVisible());
    EXPECT_TRUE(wizard.bBack->isEnabled());
    EXPECT_EQ(wizard.pbWipe->value(), wizard.pbWipe->maximum());
    wizard.bStart->click();
    EXPECT_EQ(freespace::TDiskWiper::RunningThreads(), 1);
    wizard.close();
    EXPECT_EQ(prompts.asked.size(), 2u);
    EXPECT_TRUE(wizard.isVisible());

    ASSERT_TRUE(ProcessUntil([&] { return !wizard.RunAlive(); }));
    const auto lines = LogLines(wizard);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "0 Start Wiping disk C:\\");
    std::vector<std::string> starts;
    for (const std::string& line : lines) {
        if (line.rfind("0 Start Wiping disk ", 0) == 0) {
            starts.push_back(line);
        }
    }
    EXPECT_EQ(starts, (std::vector<std::string>{"0 Start Wiping disk C:\\",
                                                "0 Start Wiping disk E:\\"}))
        << "the checked drives, in slot order, and only those";
    EXPECT_EQ(lines.back(), "0 Wipe finshed.");
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        EXPECT_FALSE(fs::exists(mounts[i]->root() / "$clean_tmp"));
    }

    // Now closing is accepted: the window goes and the main window returns.
    wizard.close();
    EXPECT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(frmDiskSpace, nullptr);
    EXPECT_TRUE(frmMain->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "the wizard frees itself once closed";
}

// Presses Stop the moment it appears, before the fill's first progress tick.
class PressWhenShown : public QObject {
public:
    explicit PressWhenShown(QPushButton* button) : button_(button) { button->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_ && event->type() == QEvent::Show) {
            button_->click();
        }
        return false;
    }

private:
    QPushButton* button_;
};

TEST_F(WizardOnMountedDrives, StopOnTheFirstDriveEndsTheRunWithTheseLines) {
    if (!MountDrives(2)) {
        GTEST_SKIP() << why;
    }
    KeepWriteRate();
    test::DriveMap drives("C=" + Root(0) + ";E=" + Root(1) + ":removable");
    TfrmDiskSpace& wizard = Open();
    wizard.cmbAlg->setCurrentIndex(0);
    wizard.driveChecks[1]->setChecked(true);
    wizard.driveChecks[2]->setChecked(true);
    wizard.bNext->click();
    PressWhenShown stop(wizard.btnStop);
    wizard.bStart->click();
    ASSERT_TRUE(ProcessUntil([&] { return !wizard.RunAlive(); }));

    // The request stays in force until the next Start, so the second drive
    // is stopped at its first tick too.
    EXPECT_EQ(LogLines(wizard), (std::vector<std::string>{
                                    "0 Algorithm: Simple One Pass",
                                    "0 Waiting for start...",
                                    "0 Start Wiping disk C:\\",
                                    "1 Wipe cancelled by user",
                                    "0 Flushing disk buffers",
                                    "0 Disk wiped C:\\",
                                    "0 Start Wiping disk E:\\",
                                    "1 Wipe cancelled by user",
                                    "0 Flushing disk buffers",
                                    "0 Disk wiped E:\\",
                                    "0 Wipe finshed.",
                                }));
    EXPECT_EQ(wizard.pbWipe->value(), 0) << "a stopped drive's bar goes back to 0";
    EXPECT_TRUE(wizard.bStart->isVisible());
    EXPECT_FALSE(wizard.btnStop->isVisible());
    EXPECT_FALSE(fs::exists(mounts[0]->root() / "$clean_tmp"));
    EXPECT_FALSE(fs::exists(mounts[1]->root() / "$clean_tmp"));
    EXPECT_FALSE(
        registry->openKey(freespace::kPolicyKey)->readDword(freespace::kPolicyValue).has_value());
}

}  // namespace
}  // namespace quenlo::gui
