#include "wipe/TfrmShred.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <limits>

#include "app/gui/Skin.h"
#include "wipe/ShredState.h"

namespace quenlo::gui {

void ScaledBar::setRange(std::int64_t minimum, std::int64_t maximum) {
    maximum_ = maximum;
    constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
    divisor_ = maximum > kLimit ? maximum / kLimit + 1 : 1;
    bar_->setRange(static_cast<int>(minimum / divisor_), static_cast<int>(maximum / divisor_));
}

void ScaledBar::setPosition(std::int64_t position) {
    bar_->setValue(static_cast<int>(std::clamp<std::int64_t>(position, 0, maximum_) / divisor_));
}

namespace {
QLabel* MakeLabel(QWidget* parent, const char* name, QRect place) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QProgressBar* MakeBar(QWidget* parent, const char* name, QRect place) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(place);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}
}  // namespace

TfrmShred::TfrmShred()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinimizeButtonHint),
      ProgressBar1(nullptr),
      passBar_(nullptr),
      jobBar_(nullptr) {
    setObjectName("frmShred");
    setWindowTitle("Quenlo");
    setFixedSize(434, 199);
    // The bevel is made first so that it lies beneath the labels and bars.
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(5, 10, 421, 146);
    ProgressBar1 = MakeBar(this, "ProgressBar1", {16, 105, 401, 21});
    labTitle = MakeLabel(this, "labTitle", {16, 59, 225, 13});
    labFolder = MakeLabel(this, "labFolder", {15, 16, 402, 33});
    labFolder->setWordWrap(true);
    labFolder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labProcessed = MakeLabel(this, "labProcessed", {248, 59, 169, 13});
    labProcessed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labMetod = MakeLabel(this, "labMetod", {16, 127, 395, 13});
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(341, 165, 81, 25);
    ProgressBar2 = MakeBar(this, "ProgressBar2", {16, 75, 401, 21});
    setTabOrder(ProgressBar1, btnCancel);
    setTabOrder(btnCancel, ProgressBar2);
    passBar_ = ScaledBar(ProgressBar1);
    jobBar_ = ScaledBar(ProgressBar2);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmShred::btnCancelClick);
    ApplyDialogSkin(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // While this window exists, shredding reports into it.
    wipe::CurrentShredServices().progress = this;
}

TfrmShred::~TfrmShred() {
    if (wipe::CurrentShredServices().progress == this) {
        wipe::CurrentShredServices().progress = nullptr;
    }
}

void TfrmShred::btnCancelClick() {
    wipe::ShredCancelled = true;
}

void TfrmShred::setPassText(std::string_view text) {
    labMetod->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TfrmShred::startPassBar(std::int64_t maximum) {
    passBar_.setRange(0, maximum);
    passBar_.setPosition(0);
}

void TfrmShred::setPassPosition(std::int64_t position) {
    passBar_.setPosition(position);
}

void TfrmShred::processPendingMessages() {
    QCoreApplication::processEvents();
}

void TfrmShred::showWindow() {
    show();
    raise();
}

void TfrmShred::closeWindow() {
    close();
}

void TfrmShred::startJobBar(std::int64_t count) {
    jobBar_.setPosition(1);
    jobBar_.setRange(0, count);
}

void TfrmShred::setJobPosition(std::int64_t position) {
    jobBar_.setPosition(position);
}

void TfrmShred::resetPassPosition() {
    passBar_.setPosition(0);
}

// Job texts carry file names as their bytes; shown the way the system decodes them.
static QString Native(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

void TfrmShred::setFolderText(const std::string& text) {
    labFolder->setText(Native(text));
}

void TfrmShred::setTitleText(const std::string& text) {
    labTitle->setText(Native(text));
}

void TfrmShred::setProcessedText(const std::string& text) {
    labProcessed->setText(Native(text));
}

void TfrmShred::closeEvent(QCloseEvent* event) {
    // The window is kept for the whole run and only hidden.
    hide();
    event->accept();
}

}  // namespace quenlo::gui
