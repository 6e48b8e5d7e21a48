#include "shredlist/TfrmFiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ActiveSettings.h"
#include "app/ProgramRegistry.h"
#include "app/SettingsStore.h"
#include "app/ShellContract.h"
#include "app/StartupMode.h"
#include "app/gui/Forms.h"
#include "app/gui/Pictures.h"
#include "app/gui/ProgramShell.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmSettings.h"
#include "platform/PathText.h"
#include "platform/qt/QtShell.h"
#include "shredlist/PathInfo.h"
#include "shredlist/ShredJob.h"
#include "wipe/TfrmShred.h"

namespace quenlo::gui {

void TfrmFiles::setShellForTests(platform::Shell* shell) {
    SetProgramShell(shell);
}

TfrmFiles::TfrmFiles()
    : list_(std::make_unique<shredlist::ShredList>(platform::systemFileSystem(), ProgramShell(),
                                                   app::ProgramRegistry())),
      background_(Picture("list-background")) {
    setObjectName("frmFiles");
    resize(496, 362);

    VST = new QTreeView(this);
    VST->setObjectName("VST");
    model_ = new ShredListModel(*list_, this);
    VST->setModel(model_);
    VST->setUniformRowHeights(true);
    VST->setSelectionBehavior(QAbstractItemView::SelectRows);
    VST->setSelectionMode(QAbstractItemView::SingleSelection);
    VST->setRootIsDecorated(true);
    VST->setExpandsOnDoubleClick(true);
    VST->setAcceptDrops(true);
    VST->viewport()->setAcceptDrops(true);
    VST->setDropIndicatorShown(false);
    VST->setContextMenuPolicy(Qt::CustomContextMenu);
    VST->viewport()->installEventFilter(this);
    QHeaderView* header = VST->header();
    header->setFixedHeight(17);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(60);
    const int widths[] = {200, 100, 100, 90};
    static constexpr int kMinimumWidths[] = {155, 80, 60, 80};
    for (int column = 0; column < 4; ++column) {
        header->resizeSection(column, widths[column]);
    }
    connect(header, &QHeaderView::sectionResized, this, [header](int column, int, int size) {
        if (column >= 0 && column < 4 && size < kMinimumWidths[column]) {
            header->resizeSection(column, kMinimumWidths[column]);
        }
    });
    header->setSectionResizeMode(3, QHeaderView::Fixed);
    connect(header, &QHeaderView::sectionClicked, this, &TfrmFiles::VSTHeaderClick);
    connect(VST, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { model_->setExpanded(index, true); });
    connect(VST, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { model_->setExpanded(index, false); });
    connect(VST, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1Popup();
        PopupMenu1->popup(VST->viewport()->mapToGlobal(at));
    });

    panBottom = new QFrame(this);
    panBottom->setObjectName("panBottom");
    panBottom->setFixedHeight(51);
    bShred = new QPushButton("Shred Files Now..", panBottom);
    bShred->setObjectName("bShred");
    QFont bold("Tahoma", 8);
    bold.setBold(true);
    bShred->setFont(bold);
    bShred->setGeometry(5, 5, 486, 41);
    connect(bShred, &QPushButton::clicked, this, &TfrmFiles::bShredClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(VST);
    layout->addWidget(panBottom);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    // The main window's image list supplies the pictures.
    auto addItem = [this](const char* name, const char* caption, const QIcon& icon) {
        QAction* action = PopupMenu1->addAction(icon, caption);
        action->setObjectName(name);
        return action;
    };
    AddFile1 = addItem("AddFile1", "Add File", MenuIcon(0));
    AddFolder1 = addItem("AddFolder1", "Add Folder", MenuIcon(0));
    PopupMenu1->addSeparator();
    RemoveSelected1 = addItem("RemoveSelected1", "Remove Selected", MenuIcon(1));
    RemoveAll1 = addItem("RemoveAll1", "Remove All", MenuIcon(9));
    PopupMenu1->addSeparator();
    LocateinExplorer1 = addItem("LocateinExplorer1", "Locate in Explorer",
                                QIcon::fromTheme("system-file-manager"));
    auto main = [](void (TfrmMain::*command)()) {
        return [command] {
            if (frmMain != nullptr) {
                (frmMain->*command)();
            }
        };
    };
    connect(AddFile1, &QAction::triggered, this, main(&TfrmMain::gFilesItems0Click));
    connect(AddFolder1, &QAction::triggered, this, main(&TfrmMain::gFilesItems1Click));
    connect(RemoveSelected1, &QAction::triggered, this, main(&TfrmMain::gFilesItems2Click));
    connect(RemoveAll1, &QAction::triggered, this, main(&TfrmMain::gFilesItems3Click));
    connect(LocateinExplorer1, &QAction::triggered, this, &TfrmFiles::LocateinExplorer1Click);
}

TfrmFiles::~TfrmFiles() {
    VST->setModel(nullptr);
}

void TfrmFiles::FormCreate() {
    if (app::IsShellMode()) {
        RunShellHandOff();
    }
}

void TfrmFiles::RunShellHandOff() {
    if (frmShred == nullptr) {
        return;
    }
    platform::Registry& registry = app::ProgramRegistry();
    app::ReadShellSettings(registry);
    PendingPaths.clear();
    if (auto key = registry.openKey(shell::kHandOffKey)) {
        for (const std::string& name : key->valueNames()) {
            PendingPaths.push_back(platform::nativeTextToPath(name));
        }
    }
    app::Prompts* prompts = app::CurrentPrompts();
    if (prompts == nullptr) {
        frmShred->close();
        return;
    }
    if (app::ActiveSettings.ConfirmShreddFiles &&
        !prompts->confirmOkCancel(shredlist::kHandOffQuestion)) {
        frmShred->close();  // ends the program; nothing is shredded
        return;
    }
    frmShred->showWindow();
    shredlist::ShredJob job(*frmShred, *prompts);
    job.RunHandOffJob(PendingPaths);
}

void TfrmFiles::AddEntries(const std::vector<std::filesystem::path>& paths) {
    VST->setUpdatesEnabled(false);
    list_->AddEntries(paths);
    VST->setUpdatesEnabled(true);
}

shredlist::ShredListEntry* TfrmFiles::SelectedEntry() const {
    const QModelIndexList selected = VST->selectionModel()->selectedRows();
    return selected.isEmpty() ? nullptr : model_->entryAt(selected.first());
}

void TfrmFiles::RemoveSelectedFromListKey() {
    if (shredlist::ShredListEntry* entry = SelectedEntry()) {
        list_->Fill(*entry);
        list_->RemoveFromListKey(entry->data().FullPath);
    }
}

void TfrmFiles::RemoveFromListKey(const std::filesystem::path& path) {
    list_->RemoveFromListKey(path);
}

void TfrmFiles::RemoveSelectedEntries() {
    if (shredlist::ShredJob::Running()) {
        return;  // the running job's walk must not be disturbed
    }
    VST->setEnabled(false);
    RemoveSelectedFromListKey();
    if (shredlist::ShredListEntry* entry = SelectedEntry()) {
        list_->Remove(*entry);
    }
    VST->setEnabled(true);
}

void TfrmFiles::RemoveAllEntries() {
    list_->RemoveAllEntries();
}

void TfrmFiles::PopupMenu1Popup() {
    const bool any = list_->topLevelCount() > 0;
    AddFile1->setEnabled(true);
    AddFolder1->setEnabled(true);
    RemoveAll1->setEnabled(any);
    LocateinExplorer1->setEnabled(any);
    RemoveSelected1->setEnabled(any && SelectedEntry() != nullptr);
}

void TfrmFiles::LocateinExplorer1Click() {
    shredlist::ShredListEntry* entry = SelectedEntry();
    if (entry == nullptr) {
        return;
    }
    list_->Fill(*entry);
    const std::filesystem::path& path = entry->data().FullPath;
    if (path.empty() || !list_->files().findEntry(path)) {
        return;
    }
    list_->shell().showInFileManager(path);  // a failure is not reported
}

void TfrmFiles::VSTHeaderClick(int column) {
    list_->HeaderClick(static_cast<shredlist::SortColumn>(column));
    VST->header()->setSortIndicator(column,
                                    list_->sortDirection() == shredlist::SortDirection::Ascending
                                        ? Qt::AscendingOrder
                                        : Qt::DescendingOrder);
}

void TfrmFiles::bShredClick() {
    app::Prompts* prompts = app::CurrentPrompts();
    if (frmShred == nullptr || prompts == nullptr || shredlist::ShredJob::Running()) {
        return;
    }
    bShred->setEnabled(false);
    shredlist::ShredJob job(*frmShred, *prompts);
    try {
        job.RunListJob(*list_);
    } catch (...) {
        bShred->setEnabled(true);
        throw;
    }
    bShred->setEnabled(true);
}

void TfrmFiles::HandleDroppedFiles(const QList<QUrl>& urls) {
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths.push_back(platform::pathFromText(url.toLocalFile()));
        }
    }
    AddEntries(paths);
}

bool TfrmFiles::ListWndProc(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
            return false;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasUrls()) {
                return false;
            }
            HandleDroppedFiles(drop->mimeData()->urls());
            drop->acceptProposedAction();
            return true;
        }
        case QEvent::Paint: {
            // The picture stays near the bottom-right corner; the entries are
            // drawn over it by the list itself.
            QPainter painter(VST->viewport());
            painter.drawPixmap(width() - 300, height() - 120 - VST->header()->height(),
                               background_);
            return false;
        }
        default:
            return false;
    }
}

bool TfrmFiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == VST->viewport() && ListWndProc(event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmFiles::FormResize() {
    bShred->setFixedWidth(panBottom->width() - 10);
}

void TfrmFiles::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

}  // namespace quenlo::gui
