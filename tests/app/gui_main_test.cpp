#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPointer>
#include <QTimer>

#include "app/ActiveSettings.h"
#include "app/FileVersion.h"
#include "app/ProgramRegistry.h"
#include "app/ShellContract.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmSettings.h"
#include "freespace/TfrmDiskSpace.h"
#include "platform/Process.h"
#include "shredlist/TfrmFiles.h"
#include "tests/support/FakeShell.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

namespace quenlo::gui {
namespace {

namespace fs = std::filesystem;

// The plain-mode windows over a registry, a shell and prompts of the test's own.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app::SetProgramRegistry(registry.get());
        TfrmFiles::setShellForTests(&shell);
        app::SetCurrentPrompts(&prompts);
        app::ActiveSettings = {};
    }
    void TearDown() override {
        DestroyForms();
        TfrmMain::setVersionSource(nullptr);
        TfrmFiles::setShellForTests(nullptr);
        app::SetProgramRegistry(nullptr);
        app::SetCurrentPrompts(nullptr);
    }
    void Start(app::StartupMode mode = app::StartupMode::Plain) {
        CreateFormsForMode(mode);
        frmMain->show();
        QApplication::processEvents();  // the posted restore runs
    }
    std::vector<std::string> ShownNames() {
        std::vector<std::string> names;
        auto& model = frmFiles->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            names.push_back(model.index(row, 0).data().toString().toStdString());
        }
        return names;
    }
    std::unique_ptr<platform::RegistryKey> Key(std::string_view path) {
        return registry->openKey(path);
    }
    // A file "b.txt", a folder "A folder" and a path that is gone in the key.
    void FillListKey() {
        test::WriteAll(dir / "b.txt", "b");
        fs::create_directory(dir / "A folder");
        auto key = Key(shell::kShredListKey);
        for (const char* name : {"b.txt", "gone", "A folder"}) {
            key->writeString((dir / name).string(), "");
        }
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
    test::FakeShell shell;
    test::ScriptedPrompts prompts;
};

TEST_F(MainWindow, LayoutCaptionsAndGroupBar) {
    Start();
    EXPECT_EQ(frmMain->windowTitle(), "Quenlo v2.5");
    for (const char* name : {"panMain", "panTop", "Image1", "Panel1", "bExit", "Bevel1", "MenuR",
                             "pan", "panContainer", "RzStatusBar1", "pStatus", "RzStatusPane2"}) {
        EXPECT_NE(frmMain->findChild<QWidget*>(name), nullptr) << name;
    }
    EXPECT_EQ(frmMain->bExit->text(), "Exit");
    EXPECT_EQ(frmMain->panTop->height(), 61);
    EXPECT_EQ(frmMain->MenuR->width(), 160);
    EXPECT_EQ(frmMain->RzStatusBar1->height(), 19);
    EXPECT_EQ(frmMain->pStatus->width(), 260);
    EXPECT_EQ(frmMain->pStatus->text(), "Visit Quenlo Online   https://www.quenlo.app/");
    EXPECT_EQ(frmMain->MenuR->gradientTop(), QColor(213, 222, 242));
    EXPECT_EQ(frmMain->MenuR->gradientBottom(), QColor(121, 152, 215));
    EXPECT_FALSE(frmMain->Image1->pixmap().isNull());  // the pictures are compiled in

    const std::vector<std::pair<const char*, std::vector<std::pair<const char*, const char*>>>>
        groups = {
            {"gFiles",
             {{"gFilesItems0", "Add File(s)"},
              {"gFilesItems1", "Add Folder"},
              {"gFilesItems2", "Remove Selected"},
              {"gFilesItems3", "Remove All"}}},
            {"gActions", {{"gActionsItems1", "Shred Free Disk Space"}}},
            {"gOptions", {{"gOptionsItems0", "Quenlo Settings"}, {"gOptionsItems1", "Updates"}}},
            {"gHelp",
             {{"gHelpItems0", "Online Help"},
              {"gHelpItems2", "Related Software"},
              {"gHelpItems3", "About"}}},
        };
    int lastTop = -1;
    for (const auto& [group, items] : groups) {
        auto* frame = frmMain->MenuR->findChild<QFrame*>(group);
        ASSERT_NE(frame, nullptr) << group;
        EXPECT_TRUE(frame->isVisible());  // every group open
        EXPECT_GT(frame->y(), lastTop);
        lastTop = frame->y();
        for (const auto& [name, caption] : items) {
            auto* item = frame->findChild<QAbstractButton*>(name);
            ASSERT_NE(item, nullptr) << name;
            EXPECT_EQ(item->text(), caption);
            EXPECT_FALSE(item->icon().isNull()) << name;
        }
    }
}

TEST_F(MainWindow, FirstShowDocksTheListFromTheKeyAndWritesTheLocation) {
    FillListKey();
    Start();
    EXPECT_EQ(frmFiles->parentWidget(), frmMain->panContainer);
    EXPECT_EQ(frmFiles->size(), frmMain->panContainer->size());
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"A folder", "b.txt"}));
    EXPECT_EQ(Key(shell::kShredListKey)->valueNames().size(), 3u);  // "gone" stays
    EXPECT_EQ(Key(shell::kProgramKey)->readString(shell::kLocationValue),
              platform::executablePath().string());
}

TEST_F(MainWindow, TwoStartsInARowShowTheSameEntries) {
    FillListKey();
    Start();
    DestroyForms();
    Start(app::StartupMode::List);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"A folder", "b.txt"}));
}

TEST_F(MainWindow, WizardRoundTripBringsTheWindowBackWithoutReloading) {
    FillListKey();
    Start();
    Key(shell::kProgramKey)->writeString(shell::kLocationValue, "elsewhere");
    Key(shell::kSettingsKey)->writeString("ConfirmAddRemoveFiles_Checked", "FALSE");
    bool mainHidden = false;
    bool wizardShown = false;
    QTimer::singleShot(0, [&] {
        mainHidden = !frmMain->isVisible();
        wizardShown = frmDiskSpace != nullptr && frmDiskSpace->isVisible();
        if (frmDiskSpace != nullptr) {
            EXPECT_EQ(frmDiskSpace->cmbAlg->currentIndex(), 2);
            frmDiskSpace->close();
        }
    });
    frmMain->gActionsItems1Click();
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(wizardShown);
    EXPECT_EQ(frmDiskSpace, nullptr);
    EXPECT_TRUE(frmMain->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"A folder", "b.txt"}));  // not loaded again
    EXPECT_EQ(Key(shell::kProgramKey)->readString(shell::kLocationValue),
              platform::executablePath().string());
    EXPECT_FALSE(app::ActiveSettings.ConfirmAddRemoveFiles);  // the stored settings applied again
}

TEST_F(MainWindow, RemoveAllOnAnEmptyListStillClearsTheKey) {
    Key(shell::kShredListKey)->writeString("/gone/long/ago", "");
    Start();
    ASSERT_EQ(frmFiles->list().topLevelCount(), 0u);
    prompts.answers = {false};
    frmMain->gFilesItems3Click();
    EXPECT_EQ(Key(shell::kShredListKey)->valueNames().size(), 1u);
    prompts.answers = {true};
    frmMain->gFilesItems3Click();
    EXPECT_EQ(prompts.asked, std::vector<std::string>(2, "yes?Are you sure to remove all?"));
    EXPECT_TRUE(Key(shell::kShredListKey)->valueNames().empty());
}

std::string NoVersion() {
    // A file without a version record, read the way the program reads itself.
    return app::FileVersionText(platform::ReadFixedFileVersion("/dev/null"));
}

TEST_F(MainWindow, WebPagesOfTheCommandsAndTheLinks) {
    Start();
    frmMain->gOptionsItems1Click();
    TfrmMain::setVersionSource(&NoVersion);
    frmMain->gOptionsItems1Click();
    frmMain->gHelpItems0Click();
    frmMain->gHelpItems2Click();
    frmMain->pStatusClick();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{
                                "https://www.quenlo.app/quenlo_update.php?sversion=2.5.5.57",
                                "https://www.quenlo.app/quenlo_update.php?sversion=",
                                "https://www.quenlo.app/quenlo-help.php",
                                "https://www.quenlo.app/privacyprotection.php",
                                "https://www.quenlo.app/",
                            }));
}

TEST_F(MainWindow, LinkPaneTurnsYellowAndBlinksWhileHovered) {
    Start();
    LinkPane* pane = frmMain->pStatus;
    const QColor plain = pane->fill();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(pane, &enter);
    EXPECT_EQ(pane->fill(), QColor(255, 255, 0));
    EXPECT_EQ(pane->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(pane->blinking());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(pane, &leave);
    EXPECT_EQ(pane->fill(), plain);
    EXPECT_FALSE(pane->blinking());
    EXPECT_EQ(pane->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

// Presses OK on the about box once it is shown; returns it.
QPointer<TfrmAbout> AboutAndOk(TfrmMain& main) {
    QPointer<TfrmAbout> shown;
    QTimer::singleShot(0, [&] {
        shown = frmAbout;
        ASSERT_NE(frmAbout, nullptr);
        EXPECT_EQ(frmAbout->Label1->text(), "Version 2.5");
        EXPECT_EQ(frmAbout->Label5->text(), "https://www.quenlo.app/");
        frmAbout->btnOk->click();
    });
    main.gHelpItems3Click();
    EXPECT_EQ(frmAbout, nullptr);
    return shown;
}

TEST_F(MainWindow, AboutTwiceGivesTwoFreshBoxes) {
    Start(app::StartupMode::List);
    QPointer<TfrmAbout> fromStartUp = frmAbout;
    ASSERT_FALSE(fromStartUp.isNull());
    QPointer<TfrmAbout> first = AboutAndOk(*frmMain);
    EXPECT_EQ(first, fromStartUp);  // list mode shows the one made at start-up first
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    QPointer<TfrmAbout> second = AboutAndOk(*frmMain);
    EXPECT_FALSE(second.isNull());
    EXPECT_EQ(second->parent(), frmMain);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

TEST_F(MainWindow, HidingTheTopTitleGivesItsSpaceToTheBarAndTheList) {
    Start();
    const int listHeight = frmMain->pan->height();
    frmSettings->TopTitle->setChecked(false);
    frmMain->ApplySettings();
    QApplication::processEvents();
    EXPECT_FALSE(frmMain->panTop->isVisible());
    EXPECT_EQ(frmMain->MenuR->y(), 0);
    EXPECT_EQ(frmMain->pan->height(), listHeight + 61);
}

}  // namespace
}  // namespace quenlo::gui
