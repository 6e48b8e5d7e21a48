#pragma once

// Stand-ins for the windows that are not built yet. Each holds its window's
// place in the start-up order and its global reference, and does no more
// than its place requires.

#include <QMainWindow>
#include <QWidget>

namespace quenlo::gui {

// The main window: captioned as the real one; closing it ends the program.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain();
    void FormCreate() {}
};

// The progress window; in "-shell" mode it is the application's main window
// and is never shown.
class TfrmShred : public QWidget {
    Q_OBJECT
public:
    TfrmShred();
    void FormCreate() {}
};

class TfrmSettings : public QWidget {
    Q_OBJECT
public:
    TfrmSettings();
    void FormCreate() {}
};

// The Shred list window. In "-shell" mode its creation runs the hand-off;
// until the hand-off exists there is nothing to do, so it closes the progress
// window, which ends the program.
class TfrmFiles : public QWidget {
    Q_OBJECT
public:
    TfrmFiles();
    void FormCreate();
};

class TfrmAbout : public QWidget {
    Q_OBJECT
public:
    TfrmAbout();
    void FormCreate() {}
};

}  // namespace quenlo::gui
