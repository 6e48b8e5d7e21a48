#pragma once

// The Shred list: the user's files and folders queued for shredding, as a
// tree of entries (top-level entries are the list proper; children exist only
// for browsing a folder). Entries are filled lazily: adding only appends,
// type, size, icons and attributes are fetched when an entry is first needed,
// and a folder's children are read when it is first expanded, never again.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

namespace quenlo::shredlist {

struct TFileNodeData {
    std::filesystem::path Name;      // last component of FullPath
    std::filesystem::path FullPath;  // as added (top level) or parent + name (child)
    std::string TypeName;            // GetTypeName at fill time
    std::filesystem::path Path;      // folder part of FullPath, with its trailing separator
    std::int64_t Size = 0;           // bytes; 0 for a folder; -1 when not found
    std::int32_t ImageIndex = -1;
    std::int32_t OpenImageIndex = -1;
    std::uint32_t Attributes = 0;  // shell attributes
};

class ShredListEntry {
public:
    // Filled on first use; an unfilled entry holds only the path it was added with.
    bool filled() const { return filled_; }
    const TFileNodeData& data() const { return data_; }
    bool hasChildren() const { return hasChildren_; }
    bool childrenLoaded() const { return childrenLoaded_; }
    ShredListEntry* parent() const { return parent_; }
    const std::vector<std::unique_ptr<ShredListEntry>>& children() const { return children_; }

private:
    friend class ShredList;
    TFileNodeData data_;
    std::filesystem::path pendingPath_;
    bool filled_ = false;
    bool hasChildren_ = false;
    bool childrenLoaded_ = false;
    ShredListEntry* parent_ = nullptr;
    std::vector<std::unique_ptr<ShredListEntry>> children_;
};

enum class SortColumn { Name = 0, Type = 1, Path = 2, Size = 3 };
enum class SortDirection { Ascending, Descending };

// Told of every change to the tree, so a view can follow it.
class ShredListObserver {
public:
    virtual ~ShredListObserver() = default;
    virtual void entriesAboutToBeAppended(ShredListEntry* parent, std::size_t first,
                                          std::size_t count) = 0;
    virtual void entriesAppended() = 0;
    virtual void entryAboutToBeRemoved(ShredListEntry& entry, std::size_t row) = 0;
    virtual void entryRemoved() = 0;
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
    virtual void aboutToReorder() = 0;
    virtual void reordered() = 0;
    virtual void entryChanged(ShredListEntry& entry) = 0;
};

class ShredList {
public:
    ShredList(platform::FileSystem& files, platform::Shell& shell, platform::Registry& registry);

    void setObserver(ShredListObserver* observer) { observer_ = observer; }

    // Appends one top-level entry per path, in order, checking nothing.
    void AddEntries(const std::vector<std::filesystem::path>& paths);

    std::size_t topLevelCount() const { return top_.size(); }
    // The top-level entry at `row`, filled (a top-level entry is filled
    // whenever it is asked for).
    ShredListEntry& topLevel(std::size_t row);
    // The same without filling it.
    ShredListEntry& topLevelUnfilled(std::size_t row) { return *top_[row]; }
    std::size_t rowOf(const ShredListEntry& entry) const;
    const std::vector<std::unique_ptr<ShredListEntry>>& siblingsOf(
        const ShredListEntry& entry) const;

    // Fills the entry when it is not yet (top-level entries only have
    // anything to fill; children are filled when they are made).
    void Fill(ShredListEntry& entry);

    // Reads a folder entry's children, the first time only. Returns whether
    // it has any; with none, its expand button goes.
    bool LoadChildren(ShredListEntry& entry);

    // A click on a column header: flips the direction (the first click sorts
    // descending), makes `column` the sort column and sorts every level.
    void HeaderClick(SortColumn column);
    SortColumn sortColumn() const { return sortColumn_; }
    SortDirection sortDirection() const { return sortDirection_; }

    // Deletes an entry with its children.
    void Remove(ShredListEntry& entry);
    void Clear();

    // The Shred list key: values named by full paths.
    void RemoveFromListKey(const std::filesystem::path& path);
    // Clears the list and deletes every value of the key, shown or not.
    void RemoveAllEntries();

    // The file type text of a path: the shell's name for it, else the
    // extension in capitals followed by " File".
    std::string GetTypeName(const std::filesystem::path& path);

    platform::Shell& shell() { return shell_; }
    platform::FileSystem& files() { return files_; }

private:
    void FillFrom(ShredListEntry& entry, const std::filesystem::path& fullPath);
    void SortLevel(std::vector<std::unique_ptr<ShredListEntry>>& level);
    void SortTree(std::vector<std::unique_ptr<ShredListEntry>>& level);

    platform::FileSystem& files_;
    platform::Shell& shell_;
    platform::Registry& registry_;
    ShredListObserver* observer_ = nullptr;
    std::vector<std::unique_ptr<ShredListEntry>> top_;
    SortColumn sortColumn_ = SortColumn::Name;
    SortDirection sortDirection_ = SortDirection::Ascending;
};

}  // namespace quenlo::shredlist
