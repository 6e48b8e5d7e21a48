#include "app/gui/StandInForms.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/StartupMode.h"
#include "app/gui/Forms.h"

namespace quenlo::gui {

TfrmMain::TfrmMain() {
    setObjectName("frmMain");
    setWindowTitle("Quenlo v2.5");
    resize(706, 458);
    auto* placeholder = new QLabel("Quenlo", this);
    placeholder->setObjectName("panMain");
    placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(placeholder);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TfrmShred::TfrmShred() {
    setObjectName("frmShred");
    setWindowTitle("Quenlo");
}

TfrmSettings::TfrmSettings() {
    setObjectName("frmSettings");
}

TfrmFiles::TfrmFiles() {
    setObjectName("frmFiles");
}

void TfrmFiles::FormCreate() {
    if (app::IsShellMode() && frmShred != nullptr) {
        frmShred->close();
    }
}

TfrmAbout::TfrmAbout() {
    setObjectName("frmAbout");
}

}  // namespace quenlo::gui
