#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QTimer>

#include "app/ActiveSettings.h"
#include "app/ProgramRegistry.h"
#include "app/ShellContract.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmSettings.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

namespace quenlo::gui {
namespace {

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        app::SetProgramRegistry(registry.get());
        app::SetCurrentPrompts(&prompts);
        app::ActiveSettings = {};
        TfrmSettings::setRegistration([this](bool install) {
            registrations.push_back(install);
            if (failRegistration) {
                throw std::runtime_error("No such file or directory");
            }
        });
    }
    void TearDown() override {
        DestroyForms();
        TfrmSettings::setRegistration({});
        app::SetProgramRegistry(nullptr);
        app::SetCurrentPrompts(nullptr);
    }
    void StartPlain() {
        CreateFormsForMode(app::StartupMode::Plain);
        frmMain->show();
        QApplication::processEvents();  // the posted restore runs
    }
    // Opens the dialog, lets `act` work on it, and returns once it closed.
    void WithDialog(const std::function<void(TfrmSettings&)>& act) {
        QTimer::singleShot(0, frmSettings, [&] { act(*frmSettings); });
        frmMain->gOptionsItems0Click();
    }
    std::unique_ptr<platform::RegistryKey> Settings() {
        return registry->openKey(shell::kSettingsKey);
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
    test::ScriptedPrompts prompts;
    std::vector<bool> registrations;
    bool failRegistration = false;
};

TEST_F(SettingsDialog, LayoutCaptionsAndFirstRunDefaults) {
    StartPlain();
    TfrmSettings& dialog = *frmSettings;
    EXPECT_EQ(dialog.windowTitle(), "Settings");
    ASSERT_EQ(dialog.PageControl1->count(), 3);
    EXPECT_EQ(dialog.PageControl1->tabText(0), "Program Settings");
    EXPECT_EQ(dialog.PageControl1->tabText(1), "Algorithms");
    EXPECT_EQ(dialog.PageControl1->tabText(2), "Visual Options");
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    EXPECT_TRUE(groups.contains(" Windows Shell Integration "));
    EXPECT_TRUE(groups.contains(" Confirmations "));
    EXPECT_TRUE(groups.contains(" Default secure algorithm "));
    EXPECT_TRUE(groups.contains(" Show Top Title "));
    EXPECT_TRUE(groups.contains(" Program start "));
    EXPECT_EQ(dialog.ConfirmShreddFiles->text(), " When Shred Files");
    EXPECT_EQ(dialog.WindowsShell->text(), "Enable Shell Integration (Right Click)");
    EXPECT_TRUE(dialog.AskAlgorithm->isHidden());
    EXPECT_EQ(dialog.DefaultAlgorithm->count(), 5);
    EXPECT_EQ(dialog.DefaultAlgorithm->itemText(3), "Secure earsing algorithm with 7 passes");
    EXPECT_EQ(dialog.DefaultAlgorithm->currentIndex(), 2);
    EXPECT_TRUE(dialog.WindowsShell->isChecked());
    EXPECT_FALSE(dialog.Maximized->isChecked());
    EXPECT_TRUE(registrations.empty());  // nothing stored: no command at start-up
}

TEST_F(SettingsDialog, CancelWritesNothingOkWritesEverything) {
    StartPlain();
    WithDialog([](TfrmSettings& dialog) { dialog.btnCancel->click(); });
    EXPECT_TRUE(Settings()->valueNames().empty());
    WithDialog([](TfrmSettings& dialog) {
        dialog.DefaultAlgorithm->setCurrentIndex(4);
        dialog.btnOk->click();
    });
    EXPECT_EQ(Settings()->valueNames().size(), 7u);
    EXPECT_EQ(Settings()->readDword("DefaultAlgorithm_ItemIndex"), 4u);
    EXPECT_EQ(registry->openKey(shell::kProgramKey)->readDword("FormVersion"), 0u);
    EXPECT_EQ(app::ActiveSettings.DefaultAlgorithm, 4);
}

TEST_F(SettingsDialog, CancelledChangesAreInForceUntilTheNextRestore) {
    StartPlain();
    WithDialog([](TfrmSettings& dialog) { dialog.btnOk->click(); });  // the defaults stored
    WithDialog([](TfrmSettings& dialog) {
        dialog.TopTitle->setChecked(false);
        dialog.ConfirmAddRemoveFiles->setChecked(false);
        dialog.btnCancel->click();
    });
    EXPECT_FALSE(frmMain->panTop->isVisibleTo(frmMain));
    EXPECT_FALSE(app::ActiveSettings.ConfirmAddRemoveFiles);
    frmMain->WMRestoreSettings();  // the next show of the main window
    EXPECT_TRUE(frmMain->panTop->isVisibleTo(frmMain));
    EXPECT_TRUE(app::ActiveSettings.ConfirmAddRemoveFiles);
}

TEST_F(SettingsDialog, StoredStatesComeIntoForceAtTheFirstShow) {
    Settings()->writeString("Maximized_Checked", "1");
    Settings()->writeString("ConfirmShreddFiles_Checked", "no");
    Settings()->writeString("WindowsShell_Checked", "FALSE");
    Settings()->writeDword("DefaultAlgorithm_ItemIndex", 0);
    StartPlain();
    EXPECT_TRUE(frmMain->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(app::ActiveSettings.ConfirmShreddFiles);
    EXPECT_EQ(app::ActiveSettings.DefaultAlgorithm, 0);
    EXPECT_EQ(registrations, std::vector<bool>{false});  // unregistered exactly once
    // Unchecking "Run Maximized" does not restore the window.
    WithDialog([](TfrmSettings& dialog) {
        dialog.Maximized->setChecked(false);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(frmMain->windowState() & Qt::WindowMaximized);
}

TEST_F(SettingsDialog, ShellIntegrationBoxRunsTheCommandAtOnce) {
    StartPlain();
    frmSettings->WindowsShell->click();
    frmSettings->WindowsShell->click();
    EXPECT_EQ(registrations, (std::vector<bool>{false, true}));
    failRegistration = true;
    frmSettings->WindowsShell->click();
    EXPECT_FALSE(frmSettings->WindowsShell->isChecked());  // keeps its new state
    EXPECT_EQ(prompts.asked, std::vector<std::string>{"error:No such file or directory"});
}

TEST_F(SettingsDialog, ShellModeNeverTouchesTheMainWindow) {
    app::SetFirstArgument("-shell");
    CreateFormsForMode(app::StartupMode::Shell);
    EXPECT_EQ(frmMain, nullptr);
    QTimer::singleShot(0, frmSettings, [] { frmSettings->btnOk->click(); });
    frmSettings->exec();  // closing runs no ApplySettings on a missing window
    app::SetFirstArgument("");
    EXPECT_EQ(Settings()->valueNames().size(), 7u);
}

}  // namespace
}  // namespace quenlo::gui
