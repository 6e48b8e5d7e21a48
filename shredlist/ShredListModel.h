#pragma once

// The Shred list as a Qt item model for the list control VST: a thin view of
// the core ShredList, which it follows through the list's observer.

#include <QAbstractItemModel>
#include <unordered_set>

#include "shredlist/ShredList.h"

namespace quenlo::gui {

class ShredListModel final : public QAbstractItemModel, public shredlist::ShredListObserver {
    Q_OBJECT
public:
    explicit ShredListModel(shredlist::ShredList& list, QObject* parent = nullptr);
    ~ShredListModel() override;

    shredlist::ShredList& list() { return list_; }
    shredlist::ShredListEntry* entryAt(const QModelIndex& index) const;
    QModelIndex indexOf(const shredlist::ShredListEntry* entry, int column = 0) const;

    // A folder's icon shows open while it is expanded.
    void setExpanded(const QModelIndex& index, bool expanded);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // shredlist::ShredListObserver
    void entriesAboutToBeAppended(shredlist::ShredListEntry* parent, std::size_t first,
                                  std::size_t count) override;
    void entriesAppended() override;
    void entryAboutToBeRemoved(shredlist::ShredListEntry& entry, std::size_t row) override;
    void entryRemoved() override;
    void aboutToReset() override;
    void reset() override;
    void aboutToReorder() override;
    void reordered() override;
    void entryChanged(shredlist::ShredListEntry& entry) override;

private:
    shredlist::ShredList& list_;
    std::unordered_set<const shredlist::ShredListEntry*> expanded_;
    mutable bool relayoutPending_ = false;
    QModelIndexList reorderedIndexes_;
    std::vector<std::pair<const shredlist::ShredListEntry*, int>> reorderedEntries_;
};

}  // namespace quenlo::gui
