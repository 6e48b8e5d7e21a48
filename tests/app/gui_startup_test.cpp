#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <memory>
#include <stdexcept>
#include <vector>

#include "app/ProgramRegistry.h"
#include "app/ShellContract.h"
#include "app/gui/Application.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmSettings.h"
#include "shredlist/TfrmFiles.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"
#include "wipe/TfrmShred.h"

namespace quenlo::gui {
namespace {

class GuiStartup : public ::testing::Test {
protected:
    void TearDown() override {
        DestroyForms();
        app::SetFirstArgument("");
    }
};

TEST_F(GuiStartup, PlainModeCreatesTheMainWindowFirst) {
    app::SetFirstArgument("");
    QWidget* mainForm = CreateFormsForMode(app::StartupMode::Plain);
    ASSERT_NE(frmMain, nullptr);
    EXPECT_EQ(mainForm, frmMain);
    EXPECT_EQ(frmMain->windowTitle(), "Quenlo v2.5");
    EXPECT_NE(frmSettings, nullptr);
    EXPECT_NE(frmShred, nullptr);
    EXPECT_NE(frmFiles, nullptr);
    EXPECT_EQ(frmAbout, nullptr);  // made on demand in plain mode
}

TEST_F(GuiStartup, ListModeAlsoCreatesTheAboutBox) {
    app::SetFirstArgument("-list");
    CreateFormsForMode(app::StartupMode::List);
    EXPECT_NE(frmMain, nullptr);
    EXPECT_NE(frmAbout, nullptr);
}

TEST_F(GuiStartup, ShellModeHasTheProgressWindowAsMainAndNeverShowsIt) {
    test::TempDir dir;
    auto registry = platform::openRegistryStore(dir / "r.sqlite3");
    app::SetProgramRegistry(registry.get());
    test::WriteAll(dir / "handed-over", "keep");
    registry->openKey(shell::kHandOffKey)->writeString((dir / "handed-over").string(), "");
    test::ScriptedPrompts prompts;
    prompts.answers = {false};  // the hand-off's question declined
    app::SetCurrentPrompts(&prompts);
    app::SetFirstArgument("-shell");
    QWidget* mainForm = CreateFormsForMode(app::StartupMode::Shell);
    EXPECT_EQ(frmMain, nullptr);
    ASSERT_NE(frmShred, nullptr);
    EXPECT_EQ(mainForm, frmShred);
    EXPECT_FALSE(frmShred->isVisible());
    // Declining the question closes the progress window, which ends the loop.
    EXPECT_EQ(prompts.asked,
              std::vector<std::string>{"ok?Are you sure to shred selected file(s)?"});
    QObject watchdog;
    QTimer::singleShot(5000, &watchdog, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(frmShred->isVisible());
    EXPECT_EQ(test::ReadAll(dir / "handed-over"), "keep");  // nothing changed on disk
    app::SetCurrentPrompts(nullptr);
    app::SetProgramRegistry(nullptr);
}

TEST_F(GuiStartup, ReferencesAreClearedWhenAWindowGoes) {
    CreateFormsForMode(app::StartupMode::List);
    delete frmAbout;
    EXPECT_EQ(frmAbout, nullptr);
}

// A window that looks at its own reference while it is being created.
class ProbeForm : public QWidget {
public:
    static inline ProbeForm* reference = nullptr;
    static inline bool sawItself = false;
    static inline bool fail = false;
    void FormCreate() {
        sawItself = reference == this;
        if (fail) {
            throw std::runtime_error("creation failed");
        }
    }
};

TEST_F(GuiStartup, ReferenceIsSetBeforeTheCreationHandlerRuns) {
    ProbeForm::fail = false;
    std::unique_ptr<ProbeForm> form(CreateForm(ProbeForm::reference));
    EXPECT_TRUE(ProbeForm::sawItself);
    form.reset();
    EXPECT_EQ(ProbeForm::reference, nullptr);
}

TEST_F(GuiStartup, ErrorInCreationHandlerIsShownAndTheWindowStillExists) {
    std::vector<QString> shown;
    MessageBox::setHandler([&](const MessageBox::Request& request) {
        shown.push_back(request.text);
        return QMessageBox::Ok;
    });
    ProbeForm::fail = true;
    std::unique_ptr<ProbeForm> form(CreateForm(ProbeForm::reference));
    MessageBox::setHandler({});
    ProbeForm::fail = false;
    EXPECT_NE(ProbeForm::reference, nullptr);
    EXPECT_EQ(shown, std::vector<QString>{"creation failed"});
}

TEST_F(GuiStartup, UnrecognisedModeCreatesNothing) {
    EXPECT_EQ(CreateFormsForMode(app::StartupMode::None), nullptr);
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_EQ(frmShred, nullptr);
}

}  // namespace
}  // namespace quenlo::gui
