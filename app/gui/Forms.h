#pragma once

// The global window references: one per window class, empty until its window
// exists, so windows can reach each other by class. A reference is set
// before the window's creation handler runs, so a window can use its own
// reference while it is being created; it is cleared when the window is
// destroyed.

#include <QObject>
#include <exception>
#include <utility>

#include "app/gui/MessageBox.h"

namespace quenlo::gui {

class TfrmMain;
class TfrmSettings;
class TfrmShred;
class TfrmFiles;
class TfrmAbout;
class TfrmDiskSpace;

inline TfrmMain* frmMain = nullptr;
inline TfrmSettings* frmSettings = nullptr;
inline TfrmShred* frmShred = nullptr;
inline TfrmFiles* frmFiles = nullptr;
inline TfrmAbout* frmAbout = nullptr;
inline TfrmDiskSpace* frmDiskSpace = nullptr;

// Creates a window of class T: builds it, sets `reference`, then runs its
// creation handler FormCreate. An error escaping the handler is shown in a
// message box with its text; the window is created all the same.
// `arguments` go to the constructor (an owner, say).
template <typename T, typename... Arguments>
T* CreateForm(T*& reference, Arguments&&... arguments) {
    T* form = new T(std::forward<Arguments>(arguments)...);
    reference = form;
    QObject::connect(form, &QObject::destroyed, [&reference, form] {
        if (reference == form) {
            reference = nullptr;
        }
    });
    try {
        form->FormCreate();
    } catch (const std::exception& error) {
        MessageBox::showError(error.what());
    }
    return form;
}

}  // namespace quenlo::gui
