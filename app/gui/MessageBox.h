#pragma once

// Every message box of the program goes through here, so tests can answer
// them instead of a user: with a handler set, no box is shown and the
// handler's answer is taken.

#include <QMessageBox>
#include <QString>
#include <functional>

namespace quenlo::gui {

class MessageBox {
public:
    struct Request {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    using Handler = std::function<QMessageBox::StandardButton(const Request&)>;

    // Shows a modal box and returns the button pressed.
    static QMessageBox::StandardButton ask(const Request& request);

    // The application's default handler for an error that escaped a window.
    static void showError(const QString& text);

    // Tests: answer every box with `handler` (empty: show real boxes again).
    static void setHandler(Handler handler);
};

}  // namespace quenlo::gui
