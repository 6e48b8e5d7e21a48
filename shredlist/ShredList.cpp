#include "shredlist/ShredList.h"

#include <algorithm>
#include <unordered_map>

#include "app/ShellContract.h"
#include "platform/PathText.h"
#include "shredlist/PathInfo.h"

namespace quenlo::shredlist {
namespace {

using platform::ShellAttribute::Folder;
using platform::ShellAttribute::HasSubfolder;

}  // namespace

ShredList::ShredList(platform::FileSystem& files, platform::Shell& shell,
                     platform::Registry& registry)
    : files_(files), shell_(shell), registry_(registry) {}

void ShredList::AddEntries(const std::vector<std::filesystem::path>& paths) {
    if (paths.empty()) {
        return;
    }
    if (observer_) {
        observer_->entriesAboutToBeAppended(nullptr, top_.size(), paths.size());
    }
    top_.reserve(top_.size() + paths.size());
    for (const auto& path : paths) {
        auto entry = std::make_unique<ShredListEntry>();
        entry->pendingPath_ = path;
        top_.push_back(std::move(entry));
    }
    if (observer_) {
        observer_->entriesAppended();
    }
}

ShredListEntry& ShredList::topLevel(std::size_t row) {
    ShredListEntry& entry = *top_[row];
    Fill(entry);
    return entry;
}

std::size_t ShredList::rowOf(const ShredListEntry& entry) const {
    const auto& level = siblingsOf(entry);
    const auto it = std::find_if(level.begin(), level.end(),
                                 [&](const auto& candidate) { return candidate.get() == &entry; });
    return static_cast<std::size_t>(it - level.begin());
}

const std::vector<std::unique_ptr<ShredListEntry>>& ShredList::siblingsOf(
    const ShredListEntry& entry) const {
    return entry.parent_ ? entry.parent_->children_ : top_;
}

std::string ShredList::GetTypeName(const std::filesystem::path& path) {
    std::string name = shell_.typeName(path);
    if (name.find_first_not_of(" \t") != std::string::npos) {
        return name;
    }
    std::string extension = NamePart(path).extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    std::string text = extension + " File";
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

void ShredList::FillFrom(ShredListEntry& entry, const std::filesystem::path& fullPath) {
    TFileNodeData& data = entry.data_;
    data.FullPath = fullPath;
    data.Name = NamePart(fullPath);
    data.Path = FolderPart(fullPath);
    data.TypeName = GetTypeName(fullPath);
    data.Size = GetEntrySize(fullPath, files_);
    data.ImageIndex = shell_.iconIndex(fullPath, false);
    data.OpenImageIndex = shell_.iconIndex(fullPath, true);
    data.Attributes = shell_.attributes(fullPath);
    entry.hasChildren_ = (data.Attributes & HasSubfolder) != 0 ||
                         ((data.Attributes & Folder) != 0 && FolderHasFiles(fullPath, files_));
    entry.filled_ = true;
}

void ShredList::Fill(ShredListEntry& entry) {
    if (entry.filled_) {
        return;
    }
    FillFrom(entry, std::move(entry.pendingPath_));
    entry.pendingPath_.clear();
}

bool ShredList::LoadChildren(ShredListEntry& entry) {
    Fill(entry);
    if (entry.childrenLoaded_) {
        return !entry.children_.empty();
    }
    entry.childrenLoaded_ = true;
    std::vector<std::filesystem::path> names;
    if (auto search = files_.findFirst(entry.data_.FullPath)) {
        platform::FindData found;
        while (search->next(found)) {
            names.push_back(found.name);
        }
    }
    if (names.empty()) {
        entry.hasChildren_ = false;
        if (observer_) {
            observer_->entryChanged(entry);
        }
        return false;
    }
    std::vector<std::unique_ptr<ShredListEntry>> children;
    children.reserve(names.size());
    for (const auto& name : names) {
        auto child = std::make_unique<ShredListEntry>();
        child->parent_ = &entry;
        FillFrom(*child, entry.data_.FullPath / name);
        children.push_back(std::move(child));
    }
    SortLevel(children);
    if (observer_) {
        observer_->entriesAboutToBeAppended(&entry, 0, children.size());
    }
    entry.children_ = std::move(children);
    if (observer_) {
        observer_->entriesAppended();
    }
    return true;
}

void ShredList::SortLevel(std::vector<std::unique_ptr<ShredListEntry>>& level) {
    // Whether a path is a folder is asked of the file system, remembered for
    // this one sort only.
    std::unordered_map<const ShredListEntry*, bool> isFolder;
    auto folder = [&](const ShredListEntry& entry) {
        auto [it, inserted] = isFolder.try_emplace(&entry, false);
        if (inserted) {
            it->second = !entry.data_.FullPath.empty() && IsFolder(entry.data_.FullPath, files_);
        }
        return it->second;
    };
    auto compare = [&](const ShredListEntry& a, const ShredListEntry& b) {
        switch (sortColumn_) {
            case SortColumn::Name: {
                const bool folderA = folder(a);
                const bool folderB = folder(b);
                if (folderA != folderB) {
                    return folderA ? -1 : 1;
                }
                return CompareFolded(a.data_.Name.native(), b.data_.Name.native());
            }
            case SortColumn::Type:
                return CompareFolded(a.data_.TypeName, b.data_.TypeName);
            case SortColumn::Path:
                return CompareFolded(a.data_.Path.native(), b.data_.Path.native());
            case SortColumn::Size:
                return a.data_.Size < b.data_.Size ? -1 : (a.data_.Size > b.data_.Size ? 1 : 0);
        }
        return 0;
    };
    const bool ascending = sortDirection_ == SortDirection::Ascending;
    std::stable_sort(level.begin(), level.end(), [&](const auto& a, const auto& b) {
        const int result = compare(*a, *b);
        return ascending ? result < 0 : result > 0;
    });
}

void ShredList::SortTree(std::vector<std::unique_ptr<ShredListEntry>>& level) {
    SortLevel(level);
    for (auto& entry : level) {
        if (!entry->children_.empty()) {
            SortTree(entry->children_);
        }
    }
}

void ShredList::HeaderClick(SortColumn column) {
    sortDirection_ = sortDirection_ == SortDirection::Descending ? SortDirection::Ascending
                                                                 : SortDirection::Descending;
    sortColumn_ = column;
    if (observer_) {
        observer_->aboutToReorder();
    }
    SortTree(top_);
    if (observer_) {
        observer_->reordered();
    }
}

void ShredList::Remove(ShredListEntry& entry) {
    auto& level = entry.parent_ ? entry.parent_->children_ : top_;
    const auto it = std::find_if(level.begin(), level.end(),
                                 [&](const auto& candidate) { return candidate.get() == &entry; });
    if (it == level.end()) {
        return;
    }
    const auto row = static_cast<std::size_t>(it - level.begin());
    if (observer_) {
        observer_->entryAboutToBeRemoved(entry, row);
    }
    level.erase(it);
    if (observer_) {
        observer_->entryRemoved();
    }
}

void ShredList::Clear() {
    if (observer_) {
        observer_->aboutToReset();
    }
    top_.clear();
    if (observer_) {
        observer_->reset();
    }
}

void ShredList::RemoveFromListKey(const std::filesystem::path& path) {
    if (auto key = registry_.openKey(shell::kShredListKey)) {
        key->deleteValue(platform::pathToNativeText(path));
    }
}

void ShredList::RemoveAllEntries() {
    Clear();
    if (auto key = registry_.openKey(shell::kShredListKey)) {
        for (const std::string& name : key->valueNames()) {
            key->deleteValue(name);
        }
    }
}

}  // namespace quenlo::shredlist
