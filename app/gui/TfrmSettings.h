#pragma once

// The settings dialog. Its controls are the live holders of the settings:
// the program takes the settings in force from them (ApplySettings), and the
// store reads and writes them.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <functional>

#include "app/SettingsStore.h"

namespace quenlo::gui {

class TfrmSettings : public QDialog, public app::SettingsControls {
    Q_OBJECT
public:
    TfrmSettings();
    void FormCreate();

    QTabWidget* PageControl1;
    QCheckBox* WindowsShell;
    QCheckBox* ConfirmShreddFiles;
    QCheckBox* ConfirmAddRemoveFiles;
    QCheckBox* AskAlgorithm;
    QComboBox* DefaultAlgorithm;
    QCheckBox* TopTitle;
    QCheckBox* Maximized;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QPushButton* btnHelp;

    void StoreSettings();
    void RestoreSettings();
    void btnOkClick();
    void btnCancelClick();
    void btnHelpClick();
    // Runs the registration of the file-manager integration for the box's
    // new state. Throws when the command cannot be started.
    void WindowsShellClick();

    // How the registration is run: (register?) -> starts the command, throws
    // on failure. Tests put a recording one in place.
    using Registration = std::function<void(bool install)>;
    static void setRegistration(Registration registration);

    // app::SettingsControls
    bool checked(std::string_view box) const override;
    void setChecked(std::string_view box, bool state) override;
    std::int32_t itemIndex() const override;
    void setItemIndex(std::int32_t index) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    QCheckBox* box(std::string_view name) const;
    void FormClose();
    bool restoring_ = false;
};

}  // namespace quenlo::gui
