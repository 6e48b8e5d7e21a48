#include "shredlist/ShredListModel.h"

#include <QLocale>

#include "platform/qt/QtShell.h"
#include "shredlist/PathInfo.h"

namespace quenlo::gui {

using shredlist::ShredListEntry;

namespace {
const char* const kHeaders[] = {"Name", "Type", "Path", "Size"};
}

ShredListModel::ShredListModel(shredlist::ShredList& list, QObject* parent)
    : QAbstractItemModel(parent), list_(list) {
    list_.setObserver(this);
}

ShredListModel::~ShredListModel() {
    list_.setObserver(nullptr);
}

ShredListEntry* ShredListModel::entryAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<ShredListEntry*>(index.internalPointer()) : nullptr;
}

QModelIndex ShredListModel::indexOf(const ShredListEntry* entry, int column) const {
    if (entry == nullptr) {
        return {};
    }
    return createIndex(static_cast<int>(list_.rowOf(*entry)), column,
                       const_cast<ShredListEntry*>(entry));
}

void ShredListModel::setExpanded(const QModelIndex& index, bool expanded) {
    if (const ShredListEntry* entry = entryAt(index)) {
        if (expanded) {
            expanded_.insert(entry);
        } else {
            expanded_.erase(entry);
        }
        emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(0), {Qt::DecorationRole});
    }
}

QModelIndex ShredListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= 4) {
        return {};
    }
    const ShredListEntry* parentEntry = entryAt(parent);
    const auto r = static_cast<std::size_t>(row);
    if (parentEntry == nullptr) {
        if (r >= list_.topLevelCount()) {
            return {};
        }
        return createIndex(row, column, &list_.topLevelUnfilled(r));
    }
    if (r >= parentEntry->children().size()) {
        return {};
    }
    return createIndex(row, column, parentEntry->children()[r].get());
}

QModelIndex ShredListModel::parent(const QModelIndex& child) const {
    const ShredListEntry* entry = entryAt(child);
    return entry ? indexOf(entry->parent()) : QModelIndex();
}

int ShredListModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const ShredListEntry* entry = entryAt(parent);
    return static_cast<int>(entry ? entry->children().size() : list_.topLevelCount());
}

int ShredListModel::columnCount(const QModelIndex&) const {
    return 4;
}

bool ShredListModel::hasChildren(const QModelIndex& parent) const {
    ShredListEntry* entry = entryAt(parent);
    if (entry == nullptr) {
        return list_.topLevelCount() > 0;
    }
    if (parent.column() > 0) {
        return false;
    }
    // The view asks this of every row when it lays the list out, so it must
    // not fill: an entry not drawn yet offers an expand button until it is
    // filled (see data()).
    if (!entry->filled()) {
        return true;
    }
    return entry->childrenLoaded() ? !entry->children().empty() : entry->hasChildren();
}

bool ShredListModel::canFetchMore(const QModelIndex& parent) const {
    const ShredListEntry* entry = entryAt(parent);
    return entry && entry->filled() && entry->hasChildren() && !entry->childrenLoaded();
}

void ShredListModel::fetchMore(const QModelIndex& parent) {
    if (ShredListEntry* entry = entryAt(parent)) {
        list_.LoadChildren(*entry);
    }
}

QVariant ShredListModel::data(const QModelIndex& index, int role) const {
    ShredListEntry* entry = entryAt(index);
    if (entry == nullptr) {
        return {};
    }
    if (!entry->filled()) {
        // An entry is filled when it is first drawn. Its expand button was a
        // guess; have the view lay the list out again, once for all the
        // entries filled in this round of drawing.
        list_.Fill(*entry);
        if (!entry->hasChildren() && !relayoutPending_) {
            relayoutPending_ = true;
            QMetaObject::invokeMethod(
                const_cast<ShredListModel*>(this),
                [this] {
                    relayoutPending_ = false;
                    auto* self = const_cast<ShredListModel*>(this);
                    emit self->layoutAboutToBeChanged();
                    emit self->layoutChanged();
                },
                Qt::QueuedConnection);
        }
    }
    const shredlist::TFileNodeData& data = entry->data();
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case 0:
                return platform::displayText(data.Name);
            case 1:
                return QString::fromStdString(list_.GetTypeName(data.FullPath));
            case 2:
                return platform::displayText(data.Path);
            case 3:
                return data.Size == 0 ? QString()
                                      : QString::fromStdString(shredlist::FormatSize(
                                            data.Size, QLocale().decimalPoint().toStdString()));
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        const bool open = expanded_.count(entry) != 0;
        const std::int32_t image = open ? data.OpenImageIndex : data.ImageIndex;
        auto& icons = platform::IconCache::instance();
        if ((data.Attributes & platform::ShellAttribute::Share) != 0) {
            return icons.overlaid(image, platform::IconCache::Overlay::Share);
        }
        if ((data.Attributes & platform::ShellAttribute::Link) != 0) {
            return icons.overlaid(image, platform::IconCache::Overlay::Link);
        }
        return icons.icon(image);
    }
    if (role == Qt::TextAlignmentRole && index.column() == 3) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant ShredListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4) {
        return QString(kHeaders[section]);
    }
    return {};
}

Qt::ItemFlags ShredListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsDropEnabled;
}

void ShredListModel::entriesAboutToBeAppended(ShredListEntry* parent, std::size_t first,
                                              std::size_t count) {
    beginInsertRows(indexOf(parent), static_cast<int>(first), static_cast<int>(first + count - 1));
}

void ShredListModel::entriesAppended() {
    endInsertRows();
}

void ShredListModel::entryAboutToBeRemoved(ShredListEntry& entry, std::size_t row) {
    expanded_.erase(&entry);
    beginRemoveRows(indexOf(entry.parent()), static_cast<int>(row), static_cast<int>(row));
}

void ShredListModel::entryRemoved() {
    endRemoveRows();
}

void ShredListModel::aboutToReset() {
    expanded_.clear();
    beginResetModel();
}

void ShredListModel::reset() {
    endResetModel();
}

void ShredListModel::aboutToReorder() {
    emit layoutAboutToBeChanged();
    reorderedIndexes_ = persistentIndexList();
    reorderedEntries_.clear();
    for (const QModelIndex& index : reorderedIndexes_) {
        reorderedEntries_.emplace_back(entryAt(index), index.column());
    }
}

void ShredListModel::reordered() {
    QModelIndexList now;
    for (const auto& [entry, column] : reorderedEntries_) {
        now.push_back(indexOf(entry, column));
    }
    changePersistentIndexList(reorderedIndexes_, now);
    reorderedIndexes_.clear();
    reorderedEntries_.clear();
    emit layoutChanged();
}

void ShredListModel::entryChanged(ShredListEntry& entry) {
    const QModelIndex index = indexOf(&entry);
    emit dataChanged(index, index.siblingAtColumn(3));
}

}  // namespace quenlo::gui
