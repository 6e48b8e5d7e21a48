#include "app/gui/MessageBox.h"

#include <QApplication>

namespace quenlo::gui {
namespace {
MessageBox::Handler& handler() {
    static MessageBox::Handler instance;
    return instance;
}
}  // namespace

QMessageBox::StandardButton MessageBox::ask(const Request& request) {
    if (handler()) {
        return handler()(request);
    }
    QMessageBox box(request.icon, request.title, request.text, request.buttons,
                    QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::showError(const QString& text) {
    ask({QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok});
}

void MessageBox::setHandler(Handler newHandler) {
    handler() = std::move(newHandler);
}

}  // namespace quenlo::gui
