#include "app/gui/StandInForms.h"

#include <QGuiApplication>
#include <QScreen>

#include <QLabel>
#include <QToolBar>

#include "app/gui/TfrmSettings.h"

#include "app/ActiveSettings.h"
#include "app/Prompts.h"
#include "app/StartupMode.h"
#include "app/gui/FileChooser.h"
#include "app/gui/Forms.h"
#include "shredlist/TfrmFiles.h"
#include "wipe/TfrmShred.h"

namespace quenlo::gui {

TfrmMain::TfrmMain() {
    setObjectName("frmMain");
    setWindowTitle("Quenlo v2.5");
    resize(706, 458);
    // The top title panel (a placeholder banner until the real main window).
    auto* banner = new QLabel("  Quenlo");
    banner->setObjectName("panTop");
    banner->setFixedHeight(40);
    banner->setStyleSheet(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
        " stop:0 rgb(121, 152, 215), stop:1 rgb(213, 222, 242));"
        " color: white; font-size: 16pt; font-weight: bold;");
    panTop = banner;
    auto* top = addToolBar("Title");
    top->setObjectName("TitleBar");
    top->setMovable(false);
    top->addWidget(banner);
    addToolBarBreak();
    auto* commands = addToolBar("Quenlo");
    commands->setObjectName("gFiles");
    commands->setMovable(false);
    const std::pair<const char*, void (TfrmMain::*)()> items[] = {
        {"Add File(s)", &TfrmMain::gFilesItems0Click},
        {"Add Folder", &TfrmMain::gFilesItems1Click},
        {"Remove Selected", &TfrmMain::gFilesItems2Click},
        {"Remove All", &TfrmMain::gFilesItems3Click},
    };
    int number = 0;
    for (const auto& [caption, handler] : items) {
        QAction* action = commands->addAction(caption);
        action->setObjectName(QString("gFilesItems%1").arg(number++));
        connect(action, &QAction::triggered, this, handler);
    }
    QAction* settings = commands->addAction("Quenlo Settings");
    settings->setObjectName("gOptionsItems0");
    connect(settings, &QAction::triggered, this, &TfrmMain::gOptionsItems0Click);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    DockListWindow();
    // The stored settings come into force once the show has completed.
    QMetaObject::invokeMethod(this, &TfrmMain::WMRestoreSettings, Qt::QueuedConnection);
}

void TfrmMain::WMRestoreSettings() {
    if (frmSettings != nullptr) {
        frmSettings->RestoreSettings();
    }
    ApplySettings();
}

void TfrmMain::ApplySettings() {
    if (frmSettings == nullptr) {
        return;
    }
    panTop->parentWidget()->setVisible(frmSettings->TopTitle->isChecked());
    if (frmSettings->Maximized->isChecked()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    app::ActiveSettings.DefaultAlgorithm = frmSettings->DefaultAlgorithm->currentIndex();
    app::ActiveSettings.ConfirmShreddFiles = frmSettings->ConfirmShreddFiles->isChecked();
    app::ActiveSettings.ConfirmAddRemoveFiles = frmSettings->ConfirmAddRemoveFiles->isChecked();
    app::ActiveSettings.AskAlgorithm = frmSettings->AskAlgorithm->isChecked();
}

void TfrmMain::gOptionsItems0Click() {
    if (frmSettings != nullptr) {
        frmSettings->exec();
    }
}

void TfrmMain::DockListWindow() {
    if (frmFiles != nullptr && centralWidget() != frmFiles) {
        frmFiles->setParent(this);
        setCentralWidget(frmFiles);
        frmFiles->show();
    }
}

void TfrmMain::gFilesItems0Click() {
    const auto files = FileChooser::chooseFiles(this);
    if (!files.empty() && frmFiles != nullptr) {
        frmFiles->AddEntries(files);
    }
}

void TfrmMain::gFilesItems1Click() {
    if (const auto folder = FileChooser::chooseFolder(this); folder && frmFiles != nullptr) {
        frmFiles->AddEntries({*folder});
    }
}

// Asks `question` when removals are to be confirmed; true to go on.
static bool ConfirmRemoval(const char* question) {
    app::Prompts* prompts = app::CurrentPrompts();
    return !app::ActiveSettings.ConfirmAddRemoveFiles || prompts == nullptr ||
           prompts->askYesNo(question);
}

void TfrmMain::gFilesItems2Click() {
    if (ConfirmRemoval("Are you sure to remove selected file(s)?") && frmFiles != nullptr) {
        frmFiles->RemoveSelectedEntries();
    }
}

void TfrmMain::gFilesItems3Click() {
    if (ConfirmRemoval("Are you sure to remove all?") && frmFiles != nullptr) {
        frmFiles->RemoveAllEntries();
    }
}

TfrmAbout::TfrmAbout() {
    setObjectName("frmAbout");
}

}  // namespace quenlo::gui
