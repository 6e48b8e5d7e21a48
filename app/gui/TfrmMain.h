#pragma once

// The main window: the group bar of commands on the left, the Shred list
// docked in the content area, the banner on top and a status bar with the
// link to the web site. Closing it ends the program.

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "app/gui/GroupBar.h"

namespace quenlo::gui {

class TfrmFiles;

// The private message of every show, WM_USER + 5 (1029), on which the
// stored settings are restored and applied.
inline constexpr int WM_RESTORESETTINGS = 0x0400 + 5;
inline constexpr QEvent::Type kRestoreSettingsEvent =
    static_cast<QEvent::Type>(QEvent::User + WM_RESTORESETTINGS);

// The status bar's link pane: yellow and blinking while the pointer is over it.
class LinkPane : public QLabel {
    Q_OBJECT
public:
    explicit LinkPane(QWidget* parent);
    void setFill(const QColor& colour);
    QColor fill() const { return fill_; }
    void setBlinking(bool on);
    bool blinking() const { return blink_.isActive(); }

signals:
    void entered();
    void left();
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showText(bool shown);
    QColor fill_;
    QTimer blink_;
    bool textShown_ = true;
};

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    TfrmMain();
    void FormCreate() {}

    QFrame* panMain;
    QFrame* panTop;
    QLabel* Image1;
    QFrame* Panel1;
    QPushButton* bExit;
    QFrame* Bevel1;
    GroupBar* MenuR;
    QFrame* pan;
    QFrame* panContainer;
    QFrame* RzStatusBar1;
    LinkPane* pStatus;
    QFrame* RzStatusPane2;

    // Handlers.
    void FormShow();
    void gFilesItems0Click();    // Add File(s)
    void gFilesItems1Click();    // Add Folder
    void gFilesItems2Click();    // Remove Selected
    void gFilesItems3Click();    // Remove All
    void gActionsItems1Click();  // Shred Free Disk Space
    void gOptionsItems0Click();  // Quenlo Settings
    void gOptionsItems1Click();  // Updates
    void gHelpItems0Click();     // Online Help
    void gHelpItems2Click();     // Related Software
    void gHelpItems3Click();     // About
    void bExitClick();
    void pStatusClick();
    void pStatusMouseEnter();
    void pStatusMouseLeave();

    // Embeds `listWindow` in `panel` as a borderless child filling it.
    void DockListWindow(QWidget* panel, TfrmFiles* listWindow);
    // "Location" under the program key.
    void SaveLocation();
    // The existing paths of the Shred list key onto the list, in one call.
    void LoadListFromRegistry();
    // Brings the settings dialog's present states into force: the top
    // panel, maximising, and ActiveSettings.
    void ApplySettings();
    // WM_RESTORESETTINGS: RestoreSettings, then ApplySettings.
    void WMRestoreSettings();

    // The update page's version text; tests replace where it comes from.
    using VersionSource = std::string (*)();
    static void setVersionSource(VersionSource source);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    TfrmFiles* docked_ = nullptr;
    bool listLoaded_ = false;
};

}  // namespace quenlo::gui
