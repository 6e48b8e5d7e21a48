#include "freespace/TfrmDiskSpace.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "app/ProgramRegistry.h"
#include "app/Prompts.h"
#include "app/gui/Forms.h"
#include "app/gui/Pictures.h"
#include "app/gui/Skin.h"
#include "app/gui/TfrmMain.h"
#include "freespace/FreeSpaceFill.h"
#include "freespace/OfferedDrives.h"
#include "freespace/WipeEstimate.h"
#include "platform/Drives.h"
#include "wipe/WipeMethods.h"

namespace quenlo::gui {
namespace {

constexpr int kMaximumDriveLetters = 19;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent, QRect place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

QString ElapsedTimeText(std::int64_t seconds) {
    const std::int64_t inDay = ((seconds % 86400) + 86400) % 86400;
    return QString("%1:%2:%3")
        .arg(inDay / 3600, 2, 10, QChar('0'))
        .arg(inDay / 60 % 60, 2, 10, QChar('0'))
        .arg(inDay % 60, 2, 10, QChar('0'));
}

TfrmDiskSpace::TfrmDiskSpace() {
    setObjectName("frmDiskSpace");
    setWindowTitle("Shred free disk space");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(349, 300);
    ApplyDialogSkin(this);
    setStyleSheet(styleSheet() +
                  "QDialog#frmDiskSpace, QWidget#Default, QWidget#Wipe, QWidget#ScrollBox1Drives"
                  " { background: white; }"
                  "QProgressBar#pbWipe { border: 1px solid #8a9bbd; background: white;"
                  "  color: grey; font-family: Tahoma; text-align: center; }"
                  "QProgressBar#pbWipe::chunk { background: navy; }"
                  "QLabel#panDisk { font-family: Tahoma; font-size: 13px; }"
                  "QLabel#labEstimate { color: #2c4a8c; }");
    QFont font("MS Shell Dlg 2");
    font.setPointSize(8);
    setFont(font);

    // An 11-pixel margin runs down both sides.
    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName("Notebook1");
    Notebook1->setGeometry(11, 0, 349 - 22, 300);

    auto* defaultPage = new QWidget;
    defaultPage->setObjectName("Default");
    Label2 = Label("Label2", "Select Disk(s) to wipe", defaultPage);
    Label2->move(15, 20);
    ScrollBox1 = new QScrollArea(defaultPage);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setGeometry(5, 35, 181, 161);
    auto* drives = new QWidget;
    drives->setObjectName("ScrollBox1Drives");
    drives->resize(181, 161);
    ScrollBox1->setWidget(drives);
    Image1 = Label("Image1", {}, defaultPage);
    Image1->setGeometry(195, 30, 128, 128);
    Image1->setPixmap(Picture("disks", QSize(128, 128)));
    Label1 = Label("Label1", "Select Secure Algorithm", defaultPage);
    Label1->move(40, 215);
    cmbAlg = new QComboBox(defaultPage);
    cmbAlg->setObjectName("cmbAlg");
    cmbAlg->setGeometry(40, 230, 251, 21);
    for (const wipe::WipeMethodInfo& method : wipe::WipeMethods()) {
        cmbAlg->addItem(Text(method.listText));
    }
    cmbAlg->setCurrentIndex(wipe::kDefaultWipeMethod);
    bNext = Button("bNext", "Next >", defaultPage, QRect(107, 261, 118, 26));
    connect(bNext, &QPushButton::clicked, this, &TfrmDiskSpace::bNextClick);
    Notebook1->addWidget(defaultPage);

    auto* wipePage = new QWidget;
    wipePage->setObjectName("Wipe");
    auto* column = new QVBoxLayout(wipePage);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* strip = new QFrame(wipePage);
    strip->setObjectName("panTitle");
    strip->setFixedHeight(31);
    auto* stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(2, 0, 2, 0);
    labPGLabel = Label("labPGLabel", "Wipe", strip);
    labPGLabel->setFixedWidth(191);
    QFont bold = labPGLabel->font();
    bold.setBold(true);
    labPGLabel->setFont(bold);
    labTime2 = Label("labTime2", "Elapsed time:", strip);
    labTime2->setFixedWidth(73);
    labTime = Label("labTime", ElapsedTimeText(0), strip);
    labTime->setFixedWidth(57);
    stripRow->addWidget(labPGLabel);
    stripRow->addStretch(1);
    stripRow->addWidget(labTime2);
    stripRow->addWidget(labTime);
    column->addWidget(strip);
    auto* line = new QFrame(wipePage);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);
    labEstimate = Label("labEstimate", {}, wipePage);
    labEstimate->setWordWrap(true);
    column->addWidget(labEstimate);
    panDisk = Label("panDisk", {}, wipePage);
    panDisk->setFixedHeight(25);
    column->addWidget(panDisk);
    pbWipe = new QProgressBar(wipePage);
    pbWipe->setObjectName("pbWipe");
    pbWipe->setFixedHeight(29);
    pbWipe->setRange(0, 100);
    pbWipe->setValue(0);
    pbWipe->setFormat("%p%");
    column->addWidget(pbWipe);
    LV = new QTableWidget(0, 1, wipePage);
    LV->setObjectName("LV");
    LV->setHorizontalHeaderLabels({"Wipe messages"});
    LV->horizontalHeader()->resizeSection(0, 300);
    LV->horizontalHeader()->setStretchLastSection(true);
    LV->verticalHeader()->hide();
    LV->verticalHeader()->setDefaultSectionSize(18);
    LV->setShowGrid(true);
    LV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV->setSelectionMode(QAbstractItemView::SingleSelection);
    LV->setIconSize(QSize(16, 16));
    // The selection stays shown when the list loses focus.
    QPalette colours = LV->palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    LV->setPalette(colours);
    column->addWidget(LV, 1);
    auto* buttons = new QWidget(wipePage);
    buttons->setFixedHeight(40);
    bBack = Button("bBack", "<<", buttons, QRect(5, 7, 96, 26));
    bStart = Button("bStart", "Start", buttons, QRect(105, 7, 116, 26));
    btnStop = Button("btnStop", "Stop", buttons, QRect(110, 7, 111, 26));
    btnStop->hide();
    connect(bBack, &QPushButton::clicked, this, &TfrmDiskSpace::bBackClick);
    connect(bStart, &QPushButton::clicked, this, &TfrmDiskSpace::bStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmDiskSpace::btnStopClick);
    column->addWidget(buttons);
    Notebook1->addWidget(wipePage);
    connect(Notebook1, &QStackedWidget::currentChanged, this,
            &TfrmDiskSpace::Notebook1PageChanged);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmDiskSpace::Timer1Timer);
}

TfrmDiskSpace::~TfrmDiskSpace() {
    // Never leave a run's thread a window that is gone: ask it to stop and
    // carry its steps out until its last one.
    stopRequested_ = true;
    while (runAlive_) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

void TfrmDiskSpace::ShowWizard() {
    Notebook1->setCurrentIndex(0);
    UcitajDrajvove();
    exec();
}

void TfrmDiskSpace::UcitajDrajvove() {
    for (int slot = 0; slot < kSlots; ++slot) {
        delete driveLabels[static_cast<std::size_t>(slot)];
        delete driveChecks[static_cast<std::size_t>(slot)];
        driveLabels[static_cast<std::size_t>(slot)] = nullptr;
        driveChecks[static_cast<std::size_t>(slot)] = nullptr;
    }
    const std::string letters = tvAPIThing1.LogicalDrives();
    if (letters.size() > kMaximumDriveLetters) {
        return;
    }
    QWidget* box = ScrollBox1->widget();
    std::size_t slot = 1;
    int top = 15;
    for (const freespace::OfferedDrive& drive : freespace::OfferedDrives(letters, tvAPIThing1)) {
        auto* root = new QLabel(QString("%1:\\").arg(QChar(drive.letter)), box);
        root->setObjectName(QString("DriveLabel%1").arg(slot));
        root->setStyleSheet("background: white;");
        root->adjustSize();
        root->move(30, top);
        root->show();
        driveLabels[slot] = root;
        auto* check = new QCheckBox(Text(drive.caption), box);
        check->setObjectName(QString("DriveCheck%1").arg(slot));
        check->setStyleSheet("background: white;");
        check->adjustSize();
        check->move(30 + driveLabels[1]->width() + 10, top);
        check->show();
        driveChecks[slot] = check;
        top += 20;
        ++slot;
    }
    box->resize(ScrollBox1->width() - 2, std::max(top, ScrollBox1->height() - 2));
}

void TfrmDiskSpace::bNextClick() {
    const bool anyChecked = std::any_of(driveChecks.begin(), driveChecks.end(),
                                        [](QCheckBox* box) { return box && box->isChecked(); });
    if (!anyChecked) {
        if (app::Prompts* prompts = app::CurrentPrompts()) {
            prompts->information("Please select disk to wipe.");
        }
        cmbAlg->setFocus();
        return;
    }
    const QString method = cmbAlg->currentText();
    labPGLabel->setText(method);
    LV->setRowCount(0);
    AddLogLine("Algorithm: " + method.toStdString(), freespace::kInformationIcon);
    AddLogLine("Waiting for start...", freespace::kInformationIcon);
    ShowEstimate(cmbAlg->currentIndex());
    Notebook1->setCurrentIndex(1);
}

void TfrmDiskSpace::ShowEstimate(int method) {
    std::uint64_t freeBytes = 0;
    char first = '\0';
    for (std::size_t slot = 1; slot < kSlots; ++slot) {
        if (driveChecks[slot] == nullptr || !driveChecks[slot]->isChecked()) {
            continue;
        }
        const char letter = driveLabels[slot]->text().at(0).toLatin1();
        if (const auto space = platform::GetDiskFreeSpaceEx(letter)) {
            freeBytes += space->freeToCaller;
            first = first != '\0' ? first : letter;
        }
    }
    std::optional<double> rate = freespace::StoredWriteRate(app::ProgramRegistry());
    if (!rate && !measuredRate_ && first != '\0') {
        // A short write on the first drive, never more than an eighth of
        // its free space and not at all on a drive nearly full.
        const auto space = platform::GetDiskFreeSpaceEx(first);
        const std::uint64_t bytes =
            std::min(freespace::kMeasuredWriteBytes, space ? space->freeToCaller / 8 : 0);
        if (bytes >= (std::uint64_t{1} << 20)) {
            measuredRate_ = freespace::MeasureWriteRate(first, {}, bytes);
        }
    }
    labEstimate->setText(Text(freespace::EstimateText(
        freeBytes, freespace::FillPassCount(method), rate ? rate : measuredRate_)));
}

void TfrmDiskSpace::bBackClick() { Notebook1->setCurrentIndex(0); }

void TfrmDiskSpace::bStartClick() {
    if (runAlive_) {
        return;  // the run before is still using the window
    }
    stopRequested_ = false;
    std::string drives;
    for (std::size_t slot = 1; slot < kSlots; ++slot) {
        if (driveChecks[slot] != nullptr && driveChecks[slot]->isChecked()) {
            drives += driveLabels[slot]->text().at(0).toLatin1();
        }
    }
    StartWipe(drives);
}

void TfrmDiskSpace::StartWipe(const std::string& drives) {
    stopRequested_ = false;
    freespace::DiskWiperServices services;
    services.registry = &app::ProgramRegistry();
    runAlive_ = true;
    try {
        freespace::TDiskWiper::Start(drives, cmbAlg->currentIndex(), *this, windowThread_,
                                     std::move(services));
    } catch (...) {
        runAlive_ = false;
        throw;
    }
}

void TfrmDiskSpace::btnStopClick() { stopRequested_ = true; }

void TfrmDiskSpace::Notebook1PageChanged(int page) {
    if (page == 1) {
        bStart->setFocus();
    }
}

void TfrmDiskSpace::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmDiskSpace::FormShow() { stopRequested_ = false; }

bool TfrmDiskSpace::FormCloseQuery() {
    if (!wipeRunning_ && !runAlive_) {
        return true;
    }
    if (app::Prompts* prompts = app::CurrentPrompts()) {
        prompts->information("Wipe is still runing, please stop Wipe process first.");
    }
    return false;
}

void TfrmDiskSpace::done(int result) {
    if (!FormCloseQuery()) {
        return;
    }
    QDialog::done(result);
    FormClose();
}

void TfrmDiskSpace::FormClose() {
    if (frmDiskSpace == this) {
        frmDiskSpace = nullptr;
    }
    deleteLater();
    if (frmMain != nullptr) {
        frmMain->show();
    }
}

void TfrmDiskSpace::SetDiskCaption(std::string_view caption) { panDisk->setText(Text(caption)); }

void TfrmDiskSpace::AddLogLine(std::string_view caption, int icon) {
    const int row = LV->rowCount();
    LV->insertRow(row);
    auto* item = new QTableWidgetItem(LogIcon(icon), Text(caption));
    item->setData(Qt::UserRole, icon);
    LV->setItem(row, 0, item);
    LV->scrollToBottom();
}

void TfrmDiskSpace::SetProgressRange(std::int64_t minimum, std::int64_t maximum) {
    pbWipe->setRange(ClampToInt(minimum), ClampToInt(maximum));
}

void TfrmDiskSpace::SetProgressPosition(std::int64_t position) {
    pbWipe->setValue(ClampToInt(position));
}

void TfrmDiskSpace::StartElapsedTime() {
    elapsed_.start();
    labTime->setText(ElapsedTimeText(0));
    Timer1->start();
}

void TfrmDiskSpace::Timer1Timer() {
    labTime->setText(ElapsedTimeText(elapsed_.elapsed() / 1000));
}

}  // namespace quenlo::gui
