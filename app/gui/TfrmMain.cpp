#include "app/gui/TfrmMain.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ActiveSettings.h"
#include "app/FileVersion.h"
#include "app/MainWindowStore.h"
#include "app/ProgramRegistry.h"
#include "app/Prompts.h"
#include "app/WebSite.h"
#include "app/gui/FileChooser.h"
#include "app/gui/Forms.h"
#include "app/gui/Pictures.h"
#include "app/gui/ProgramShell.h"
#include "app/gui/TfrmAbout.h"
#include "app/gui/TfrmSettings.h"
#include "freespace/TfrmDiskSpace.h"
#include "platform/FileSystem.h"
#include "shredlist/TfrmFiles.h"

namespace quenlo::gui {
namespace {

TfrmMain::VersionSource versionSource = &app::RunningFileVersionText;

const QColor kLinkText(0, 0, 128);  // navy
const QColor kHoverFill(255, 255, 0);

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void OpenPage(std::string_view page) {
    ProgramShell().openWebAddress(app::WebPage(page));  // failure ignored
}

QFrame* Panel(const char* name, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    return panel;
}

// Asks `question` when removals are to be confirmed; true to go on.
bool ConfirmRemoval(const char* question) {
    app::Prompts* prompts = app::CurrentPrompts();
    return !app::ActiveSettings.ConfirmAddRemoveFiles || prompts == nullptr ||
           prompts->askYesNo(question);
}

}  // namespace

LinkPane::LinkPane(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    setFill(palette().color(QPalette::Button));
    blink_.setInterval(500);
    connect(&blink_, &QTimer::timeout, this, [this] { showText(!textShown_); });
}

void LinkPane::setFill(const QColor& colour) {
    fill_ = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
}

void LinkPane::setBlinking(bool on) {
    if (on) {
        blink_.start();
    } else {
        blink_.stop();
        showText(true);
    }
}

void LinkPane::showText(bool shown) {
    textShown_ = shown;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, shown ? kLinkText : fill_);
    setPalette(colours);
}

void LinkPane::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit entered();
}

void LinkPane::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit left();
}

void LinkPane::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    emit clicked();
}

void TfrmMain::setVersionSource(VersionSource source) {
    versionSource = source != nullptr ? source : &app::RunningFileVersionText;
}

TfrmMain::TfrmMain() {
    setObjectName("frmMain");
    setWindowTitle("Quenlo v2.5");
    QFont font("MS Shell Dlg 2");
    font.setPointSize(8);
    setFont(font);
    resize(706, 458);

    panMain = Panel("panMain", this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panMain);
    auto* main = new QVBoxLayout(panMain);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);

    // The top title: banner on the left, Exit on the right, a bevel below.
    panTop = Panel("panTop", panMain);
    panTop->setFixedHeight(61);
    panTop->setStyleSheet("QFrame#panTop { background: white; }");
    auto* top = new QVBoxLayout(panTop);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(panTop);
    Image1->setObjectName("Image1");
    Image1->setFixedSize(333, 58);
    Image1->setPixmap(Picture("banner"));
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    topRow->addWidget(Image1);
    topRow->addStretch(1);
    Panel1 = Panel("Panel1", panTop);
    Panel1->setFixedWidth(84);
    bExit = new QPushButton(Picture("exit", QSize(16, 16)), "Exit", Panel1);
    bExit->setObjectName("bExit");
    bExit->setGeometry(10, 22, 66, 31);
    connect(bExit, &QPushButton::clicked, this, &TfrmMain::bExitClick);
    topRow->addWidget(Panel1);
    top->addLayout(topRow, 1);
    Bevel1 = Panel("Bevel1", panTop);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setFixedHeight(3);
    top->addWidget(Bevel1);
    main->addWidget(panTop);

    // The group bar and the content area side by side.
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    MenuR = new GroupBar(QColor(213, 222, 242), QColor(121, 152, 215), QColor(0, 0, 160), panMain);
    MenuR->setObjectName("MenuR");
    MenuR->setFixedWidth(160);
    struct Item {
        const char* name;
        const char* caption;
        int icon;
        void (TfrmMain::*handler)();
    };
    struct Group {
        const char* name;
        const char* caption;
        std::vector<Item> items;
    };
    const Group groups[] = {
        {"gFiles",
         "Quenlo",
         {{"gFilesItems0", "Add File(s)", 0, &TfrmMain::gFilesItems0Click},
          {"gFilesItems1", "Add Folder", 0, &TfrmMain::gFilesItems1Click},
          {"gFilesItems2", "Remove Selected", 1, &TfrmMain::gFilesItems2Click},
          {"gFilesItems3", "Remove All", 9, &TfrmMain::gFilesItems3Click}}},
        {"gActions",
         "Disks",
         {{"gActionsItems1", "Shred Free Disk Space", 6, &TfrmMain::gActionsItems1Click}}},
        {"gOptions",
         "Options",
         {{"gOptionsItems0", "Quenlo Settings", 13, &TfrmMain::gOptionsItems0Click},
          {"gOptionsItems1", "Updates", 11, &TfrmMain::gOptionsItems1Click}}},
        {"gHelp",
         "Help",
         {{"gHelpItems0", "Online Help", 5, &TfrmMain::gHelpItems0Click},
          {"gHelpItems2", "Related Software", 15, &TfrmMain::gHelpItems2Click},
          {"gHelpItems3", "About", 7, &TfrmMain::gHelpItems3Click}}},
    };
    for (const Group& group : groups) {
        QFrame* frame = MenuR->addGroup(group.name, group.caption);
        for (const Item& item : group.items) {
            MenuR->addItem(frame, item.name, item.caption, MenuIcon(item.icon),
                           [this, handler = item.handler] { (this->*handler)(); });
        }
    }
    middle->addWidget(MenuR);
    pan = Panel("pan", panMain);
    auto* content = new QVBoxLayout(pan);
    content->setContentsMargins(0, 0, 0, 0);
    panContainer = Panel("panContainer", pan);
    content->addWidget(panContainer);
    middle->addWidget(pan, 1);
    main->addLayout(middle, 1);

    // The status bar: the link pane and an empty pane at the right end.
    RzStatusBar1 = Panel("RzStatusBar1", panMain);
    RzStatusBar1->setFixedHeight(19);
    RzStatusBar1->setFrameShape(QFrame::StyledPanel);
    auto* status = new QHBoxLayout(RzStatusBar1);
    status->setContentsMargins(0, 0, 0, 0);
    status->setSpacing(0);
    status->addStretch(1);
    pStatus = new LinkPane(RzStatusBar1);
    pStatus->setObjectName("pStatus");
    pStatus->setFixedWidth(260);
    QFont linkFont("Tahoma");
    linkFont.setPointSize(8);
    pStatus->setFont(linkFont);
    pStatus->setCursor(Qt::PointingHandCursor);
    pStatus->setText("Visit Quenlo Online   " + Text(app::kWebSite));
    pStatus->setBlinking(false);
    connect(pStatus, &LinkPane::entered, this, &TfrmMain::pStatusMouseEnter);
    connect(pStatus, &LinkPane::left, this, &TfrmMain::pStatusMouseLeave);
    connect(pStatus, &LinkPane::clicked, this, &TfrmMain::pStatusClick);
    status->addWidget(pStatus);
    RzStatusPane2 = Panel("RzStatusPane2", RzStatusBar1);
    RzStatusPane2->setFixedWidth(20);
    status->addWidget(RzStatusPane2);
    main->addWidget(RzStatusBar1);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TfrmMain::FormShow() {
    DockListWindow(panContainer, frmFiles);
    SaveLocation();
    if (!listLoaded_) {
        LoadListFromRegistry();
        listLoaded_ = true;
    }
    // Posted, so the settings come into force once the show has completed.
    QCoreApplication::postEvent(this, new QEvent(kRestoreSettingsEvent));
}

bool TfrmMain::event(QEvent* event) {
    if (event->type() == kRestoreSettingsEvent) {
        WMRestoreSettings();
        return true;
    }
    return QWidget::event(event);
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
    panTop->setVisible(frmSettings->TopTitle->isChecked());
    if (frmSettings->Maximized->isChecked()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    app::ActiveSettings.DefaultAlgorithm = frmSettings->DefaultAlgorithm->currentIndex();
    app::ActiveSettings.ConfirmShreddFiles = frmSettings->ConfirmShreddFiles->isChecked();
    app::ActiveSettings.ConfirmAddRemoveFiles = frmSettings->ConfirmAddRemoveFiles->isChecked();
    app::ActiveSettings.AskAlgorithm = frmSettings->AskAlgorithm->isChecked();
}

void TfrmMain::DockListWindow(QWidget* panel, TfrmFiles* listWindow) {
    docked_ = listWindow;
    if (listWindow == nullptr) {
        return;
    }
    if (panel->layout() == nullptr) {
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    listWindow->setWindowFlags(Qt::Widget);  // a borderless child
    listWindow->setParent(panel);
    if (panel->layout()->indexOf(listWindow) < 0) {
        panel->layout()->addWidget(listWindow);
    }
    listWindow->setGeometry(panel->contentsRect());
    listWindow->show();
    listWindow->raise();
}

void TfrmMain::SaveLocation() { app::SaveLocation(app::ProgramRegistry()); }

void TfrmMain::LoadListFromRegistry() {
    const auto paths = app::ListedPathsToLoad(app::ProgramRegistry(), platform::systemFileSystem());
    if (!paths.empty() && frmFiles != nullptr) {
        frmFiles->AddEntries(paths);
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

void TfrmMain::gActionsItems1Click() {
    TfrmDiskSpace* wizard = CreateForm(frmDiskSpace);
    hide();
    wizard->ShowWizard();  // modal; its close shows this window again
}

void TfrmMain::gOptionsItems0Click() {
    if (frmSettings != nullptr) {
        frmSettings->exec();
    }
}

void TfrmMain::gOptionsItems1Click() {
    ProgramShell().openWebAddress(app::UpdatePageAddress(versionSource()));
}

void TfrmMain::gHelpItems0Click() { OpenPage(app::kHelpPage); }

void TfrmMain::gHelpItems2Click() { OpenPage(app::kRelatedSoftwarePage); }

void TfrmMain::gHelpItems3Click() {
    if (frmAbout == nullptr) {
        CreateForm(frmAbout, this);
    }
    frmAbout->exec();
}

void TfrmMain::bExitClick() { close(); }

void TfrmMain::pStatusClick() { OpenPage(""); }

void TfrmMain::pStatusMouseEnter() {
    pStatus->setFill(kHoverFill);
    pStatus->setBlinking(true);
}

void TfrmMain::pStatusMouseLeave() {
    pStatus->setFill(palette().color(QPalette::Button));
    pStatus->setBlinking(false);
}

}  // namespace quenlo::gui
