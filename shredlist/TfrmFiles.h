#pragma once

// The Shred list window: the list control VST and the "Shred Files Now.."
// button, docked into the main window.

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QWidget>
#include <memory>

#include "shredlist/ShredList.h"
#include "shredlist/ShredListModel.h"

namespace quenlo::gui {

class TfrmFiles : public QWidget {
    Q_OBJECT
public:
    TfrmFiles();
    ~TfrmFiles() override;
    void FormCreate();

    QTreeView* VST;
    QFrame* panBottom;
    QPushButton* bShred;
    QMenu* PopupMenu1;
    QAction* AddFile1;
    QAction* AddFolder1;
    QAction* RemoveSelected1;
    QAction* RemoveAll1;
    QAction* LocateinExplorer1;

    shredlist::ShredList& list() { return *list_; }

    // In "-shell" mode: the paths read from the Shell hand-off key.
    std::vector<std::filesystem::path> PendingPaths;
    ShredListModel& model() { return *model_; }

    void AddEntries(const std::vector<std::filesystem::path>& paths);
    // The selected entry, or null.
    shredlist::ShredListEntry* SelectedEntry() const;
    void RemoveSelectedEntries();
    void RemoveAllEntries();
    void RemoveSelectedFromListKey();
    void RemoveFromListKey(const std::filesystem::path& path);

    void PopupMenu1Popup();
    void LocateinExplorer1Click();
    void VSTHeaderClick(int column);
    void bShredClick();
    // Drops of files from a file manager: every dropped name, in the drop's
    // order, in one AddEntries.
    void HandleDroppedFiles(const QList<QUrl>& urls);

    // Tests: the shell for windows made from now on (null: the program's
    // own). The registry is the program's (app::SetProgramRegistry).
    static void setShellForTests(platform::Shell* shell);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RunShellHandOff();
    bool ListWndProc(QEvent* event);
    void FormResize();

    std::unique_ptr<shredlist::ShredList> list_;
    ShredListModel* model_;
    QPixmap background_;
};

}  // namespace quenlo::gui
