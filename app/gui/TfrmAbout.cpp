#include "app/gui/TfrmAbout.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/WebSite.h"
#include "app/gui/Forms.h"
#include "app/gui/Pictures.h"
#include "app/gui/ProgramShell.h"
#include "app/gui/Skin.h"

namespace quenlo::gui {

TfrmAbout::TfrmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName("frmAbout");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(344, 159);
    ApplyDialogSkin(this);
    QFont font("Tahoma");
    font.setPointSize(8);
    setFont(font);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(Picture("banner"));
    Label1 = new QLabel("Version 2.5", this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel("Copyright \u00A9 2026 the Quenlo developers.", this);
    Label2->setObjectName("Label2");
    Label3 = new QLabel("Web site:", this);
    Label3->setObjectName("Label3");
    Label5 = new QLabel(QString::fromUtf8(app::kWebSite.data(),
                                          static_cast<qsizetype>(app::kWebSite.size())),
                        this);
    Label5->setObjectName("Label5");
    Label5->setStyleSheet("color: blue;");
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->installEventFilter(this);
    btnOk = new QPushButton("OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfrmAbout::btnOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 4, 5, 8);
    layout->setSpacing(3);
    layout->addWidget(Image1, 0, Qt::AlignHCenter);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    auto* site = new QHBoxLayout;
    site->addWidget(Label3);
    site->addWidget(Label5);
    site->addStretch(1);
    site->addWidget(btnOk);
    layout->addLayout(site);
    if (owner != nullptr) {
        move(owner->geometry().center() - rect().center());
    }
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) {
        Label5Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::btnOkClick() { accept(); }

void TfrmAbout::Label5Click() {
    ProgramShell().openWebAddress(app::WebPage(""));  // failure ignored
}

void TfrmAbout::done(int result) {
    QDialog::done(result);
    FormClose();
}

void TfrmAbout::FormClose() {
    if (frmAbout == this) {
        frmAbout = nullptr;
    }
    deleteLater();
}

}  // namespace quenlo::gui
