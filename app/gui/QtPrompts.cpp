#include "app/gui/QtPrompts.h"

#include <QCoreApplication>

#include "app/gui/MessageBox.h"

namespace quenlo::gui {
namespace {
QString title() {
    return QCoreApplication::applicationName();
}
QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
}  // namespace

bool QtPrompts::confirmOkCancel(const std::string& question) {
    return MessageBox::ask({QMessageBox::Question, title(), text(question),
                            QMessageBox::Ok | QMessageBox::Cancel}) == QMessageBox::Ok;
}

bool QtPrompts::askYesNo(const std::string& question) {
    return MessageBox::ask({QMessageBox::Question, title(), text(question),
                            QMessageBox::Yes | QMessageBox::No}) == QMessageBox::Yes;
}

void QtPrompts::warning(const std::string& notice) {
    MessageBox::ask({QMessageBox::Warning, title(), text(notice), QMessageBox::Ok});
}

void QtPrompts::information(const std::string& notice) {
    MessageBox::ask({QMessageBox::Information, title(), text(notice), QMessageBox::Ok});
}

void QtPrompts::error(const std::string& notice) {
    MessageBox::showError(text(notice));
}

void InstallQtPrompts() {
    static QtPrompts prompts;
    if (app::CurrentPrompts() == nullptr) {
        app::SetCurrentPrompts(&prompts);
    }
}

}  // namespace quenlo::gui
