#include "app/gui/TfrmSettings.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/ProgramRegistry.h"
#include "app/Prompts.h"
#include "app/ShellRegistration.h"
#include "app/StartupMode.h"
#include "app/WebSite.h"
#include "app/gui/Forms.h"
#include "app/gui/Skin.h"
#include "app/gui/ProgramShell.h"
#include "app/gui/TfrmMain.h"
#include "wipe/WipeMethods.h"

namespace quenlo::gui {
namespace {

TfrmSettings::Registration& registration() {
    static TfrmSettings::Registration instance;
    return instance;
}

QCheckBox* MakeBox(const char* name, const char* caption, bool checked) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QGroupBox* Group(const char* caption, std::initializer_list<QWidget*> widgets) {
    auto* group = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    layout->addStretch();
    return group;
}

QWidget* Page(std::initializer_list<QWidget*> groups) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* group : groups) {
        layout->addWidget(group);
    }
    layout->addStretch();
    return page;
}

}  // namespace

void TfrmSettings::setRegistration(Registration newRegistration) {
    registration() = std::move(newRegistration);
}

TfrmSettings::TfrmSettings() {
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    setFixedSize(377, 267);
    setModal(true);

    WindowsShell = MakeBox("WindowsShell", "Enable Shell Integration (Right Click)", true);
    ConfirmShreddFiles = MakeBox("ConfirmShreddFiles", " When Shred Files", true);
    ConfirmAddRemoveFiles =
        MakeBox("ConfirmAddRemoveFiles", " When removing files from list", true);
    AskAlgorithm = MakeBox("AskAlgorithm", " Always ask for secure algorithm", true);
    AskAlgorithm->setVisible(false);
    TopTitle = MakeBox("TopTitle", "Visible", true);
    Maximized = MakeBox("Maximized", "Run Maximized", false);
    DefaultAlgorithm = new QComboBox;
    DefaultAlgorithm->setObjectName("DefaultAlgorithm");
    DefaultAlgorithm->setEditable(false);
    for (const auto& method : wipe::WipeMethods()) {
        DefaultAlgorithm->addItem(QString::fromUtf8(
            method.listText.data(), static_cast<qsizetype>(method.listText.size())));
    }
    DefaultAlgorithm->setCurrentIndex(wipe::kDefaultWipeMethod);

    auto* elevation = new QLabel("Elevation Required");
    elevation->setObjectName("labElevation");
    auto* shellGroup = Group(" Windows Shell Integration ", {WindowsShell, elevation});
    auto* confirmations =
        Group(" Confirmations ", {ConfirmShreddFiles, ConfirmAddRemoveFiles, AskAlgorithm});
    AskAlgorithm->hide();

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName("PageControl1");
    PageControl1->addTab(Page({shellGroup, confirmations}), "Program Settings");
    PageControl1->addTab(Page({Group(" Default secure algorithm ", {DefaultAlgorithm})}),
                         "Algorithms");
    PageControl1->addTab(
        Page({Group(" Show Top Title ", {TopTitle}), Group(" Program start ", {Maximized})}),
        "Visual Options");

    btnOk = new QPushButton("OK");
    btnOk->setObjectName("btnOk");
    btnCancel = new QPushButton("Cancel");
    btnCancel->setObjectName("btnCancel");
    btnHelp = new QPushButton("Help");
    btnHelp->setObjectName("btnHelp");
    for (QPushButton* button : {btnOk, btnCancel, btnHelp}) {
        button->setFixedWidth(75);
    }
    PageControl1->setUsesScrollButtons(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    ApplyDialogSkin(this);
    connect(btnOk, &QPushButton::clicked, this, &TfrmSettings::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSettings::btnCancelClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmSettings::btnHelpClick);
    // A user's click: a failure to start the command is shown, the box keeps
    // its new state. A restore's change goes through setChecked instead.
    connect(WindowsShell, &QCheckBox::toggled, this, [this] {
        if (restoring_) {
            return;
        }
        try {
            WindowsShellClick();
        } catch (const std::exception& error) {
            if (app::Prompts* prompts = app::CurrentPrompts()) {
                prompts->error(error.what());
            }
        }
    });
}

void TfrmSettings::FormCreate() {
    if (!app::IsShellMode() && frmMain != nullptr) {
        frmMain->ApplySettings();
    }
}

QCheckBox* TfrmSettings::box(std::string_view name) const {
    for (QCheckBox* candidate : {WindowsShell, ConfirmShreddFiles, ConfirmAddRemoveFiles,
                                 AskAlgorithm, TopTitle, Maximized}) {
        if (candidate->objectName().toStdString() == name) {
            return candidate;
        }
    }
    throw std::invalid_argument("no such setting");
}

bool TfrmSettings::checked(std::string_view name) const {
    return box(name)->isChecked();
}

void TfrmSettings::setChecked(std::string_view name, bool state) {
    QCheckBox* target = box(name);
    if (target->isChecked() == state) {
        return;
    }
    restoring_ = true;
    target->setChecked(state);
    restoring_ = false;
    if (target == WindowsShell) {
        WindowsShellClick();  // as a user's click would; errors reach the caller
    }
}

std::int32_t TfrmSettings::itemIndex() const {
    return DefaultAlgorithm->currentIndex();
}

void TfrmSettings::setItemIndex(std::int32_t index) {
    DefaultAlgorithm->setCurrentIndex(index);
}

void TfrmSettings::StoreSettings() {
    app::StoreSettings(app::ProgramRegistry(), *this);
}

void TfrmSettings::RestoreSettings() {
    app::RestoreSettings(app::ProgramRegistry(), *this);
}

void TfrmSettings::WindowsShellClick() {
    const bool install = WindowsShell->isChecked();
    if (registration()) {
        registration()(install);
        return;
    }
    static platform::ProcessLauncher launcher;
    app::RegisterShellExtension(launcher, platform::executablePath().parent_path(), install);
}

void TfrmSettings::btnOkClick() {
    StoreSettings();
    accept();
}

void TfrmSettings::btnCancelClick() {
    reject();
}

void TfrmSettings::btnHelpClick() {
    ProgramShell().openWebAddress(app::WebPage(app::kHelpPage));  // failure ignored
}

void TfrmSettings::showEvent(QShowEvent* event) {
    PageControl1->setCurrentIndex(0);
    RestoreSettings();
    QDialog::showEvent(event);
}

void TfrmSettings::FormClose() {
    if (!app::IsShellMode() && frmMain != nullptr) {
        frmMain->ApplySettings();
    }
}

void TfrmSettings::done(int result) {
    QDialog::done(result);
    FormClose();
}

void TfrmSettings::closeEvent(QCloseEvent* event) {
    // The close box: a close without storing; done() brings the settings in.
    event->ignore();
    reject();
}

}  // namespace quenlo::gui
