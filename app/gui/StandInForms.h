#pragma once

// Stand-ins for the windows that are not built yet. Each holds its window's
// place in the start-up order and its global reference, and does no more
// than its place requires.

#include <QMainWindow>
#include <QWidget>

namespace quenlo::gui {

// The main window: captioned as the real one; closing it ends the program.
// It docks the Shred list and offers its four list commands.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    TfrmMain();
    void FormCreate() {}

    // Puts the Shred list window into the content area.
    void DockListWindow();

    void gFilesItems0Click();    // Add File(s)
    void gFilesItems1Click();    // Add Folder
    void gFilesItems2Click();    // Remove Selected
    void gFilesItems3Click();    // Remove All
    void gOptionsItems0Click();  // Quenlo Settings

    // Brings the settings dialog's present states into force: the top
    // panel, maximising, and ActiveSettings.
    void ApplySettings();
    // The posted WM_RESTORESETTINGS (WM_USER + 5) of every show.
    void WMRestoreSettings();

    QWidget* panTop;

protected:
    void showEvent(QShowEvent* event) override;
};

class TfrmAbout : public QWidget {
    Q_OBJECT
public:
    TfrmAbout();
    void FormCreate() {}
};

}  // namespace quenlo::gui
