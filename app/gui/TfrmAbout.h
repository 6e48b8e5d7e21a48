#pragma once

// The about box: the banner, the version, the maker and the web site.
// Made on demand; it frees itself when it closes.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace quenlo::gui {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* owner = nullptr);
    void FormCreate() {}

    QLabel* Image1;
    QLabel* Label1;  // "Version 2.5"
    QLabel* Label2;  // the maker
    QLabel* Label3;  // "Web site:"
    QLabel* Label5;  // the link
    QPushButton* btnOk;

    void btnOkClick();
    void Label5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void FormClose();
};

}  // namespace quenlo::gui
