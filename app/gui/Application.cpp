#include "app/gui/Application.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "app/gui/Forms.h"
#include "app/gui/QtPrompts.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "freespace/TfrmDiskSpace.h"
#include "app/gui/TfrmSettings.h"
#include "shredlist/TfrmFiles.h"
#include "wipe/TfrmShred.h"

namespace quenlo::gui {
namespace {

// Ends the message loop when the main window is closed, shown or not (in
// "-shell" mode it closes before the loop even starts, so the quit is
// queued for the loop to find).
class MainFormWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
};

void WatchMainForm(QWidget* form) {
    form->installEventFilter(new MainFormWatcher(form));
}

}  // namespace

QWidget* CreateFormsForMode(app::StartupMode mode) {
    InstallQtPrompts();
    QWidget* mainForm = nullptr;
    switch (mode) {
        case app::StartupMode::Plain:
        case app::StartupMode::List:
            mainForm = CreateForm(frmMain);
            WatchMainForm(mainForm);
            CreateForm(frmSettings);
            CreateForm(frmShred);
            CreateForm(frmFiles);
            if (mode == app::StartupMode::List) {
                CreateForm(frmAbout);
            }
            break;
        case app::StartupMode::Shell:
            mainForm = CreateForm(frmShred);
            WatchMainForm(mainForm);
            CreateForm(frmSettings);
            CreateForm(frmFiles);
            CreateForm(frmAbout);
            break;
        case app::StartupMode::None:
            break;
    }
    return mainForm;
}

void DestroyForms() {
    delete frmDiskSpace;
    delete frmAbout;
    if (frmFiles != nullptr && frmFiles->parent() == nullptr) {
        delete frmFiles;  // not docked: the main window does not own it
    }
    delete frmSettings;
    delete frmShred;
    delete frmMain;
}

int RunApplication(int argc, char** argv) {
    const app::StartupMode mode = app::ChooseStartupMode(argc, argv);
    if (mode == app::StartupMode::None) {
        return 0;  // not an error: nothing is created, shown or read
    }
    app::SetFirstArgument(argc > 1 ? argv[1] : "");

    QApplication application(argc, argv);
    QApplication::setApplicationName("Quenlo ");
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget* mainForm = CreateFormsForMode(mode);
    if (mode != app::StartupMode::Shell) {
        mainForm->show();
    }
    QApplication::exec();
    DestroyForms();
    return 0;
}

}  // namespace quenlo::gui
