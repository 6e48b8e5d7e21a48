#pragma once

#include <QWidget>

namespace quenlo::gui {

// The program's look: a restrained dialog style, kept in this one place.
inline void ApplyDialogSkin(QWidget* window) {
    window->setStyleSheet(
        "QWidget { font-size: 8pt; }"
        "QFrame#Bevel1 { border: 1px solid #9aa9c9; border-radius: 3px; background: #f4f6fb; }"
        "QProgressBar { border: 1px solid #8a9bbd; border-radius: 2px; background: white;"
        "  text-align: center; height: 21px; }"
        "QProgressBar::chunk { background: #5b7fc7; }"
        "QPushButton { border: 1px solid #7b8fb8; border-radius: 3px; padding: 3px 10px;"
        "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfe, stop:1 #dfe5f2); }"
        "QPushButton:hover { background: #e8eefb; }"
        "QPushButton:pressed { background: #cdd8ef; }"
        "QTabBar::tab { padding: 3px 5px; }");
}

}  // namespace quenlo::gui
