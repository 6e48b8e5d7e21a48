#include "shredlist/FileSearch.h"

#include <memory>

namespace quenlo::shredlist {
namespace {

using platform::FileAttribute::Directory;
using platform::FileAttribute::ReparsePoint;

// One folder on the way down: where it is, what it is, and which of its
// subfolders are still to be entered.
struct Level {
    std::filesystem::path fullPath;
    platform::FolderIdentity identity;
    std::vector<std::filesystem::path> subfolders;
    std::size_t next = 0;
};

// Lists `folder` into `result`; returns the level with its subfolders.
Level ListFolder(platform::Folder& folder, const std::filesystem::path& fullPath,
                 FileSearchResult& result) {
    Level level{fullPath, folder.identity(), {}, 0};
    auto search = folder.search();
    if (!search) {
        return level;
    }
    platform::FindData entry;
    while (search->next(entry)) {
        const std::filesystem::path full = fullPath / entry.name;
        const bool isFolder = (entry.attributes & Directory) != 0;
        const bool isReparse = (entry.attributes & ReparsePoint) != 0;
        if (isFolder && isReparse) {
            result.MountPoints.push_back(full);
        } else if (isFolder) {
            result.Directories.push_back(full);
            level.subfolders.push_back(entry.name);
        } else {
            result.Files.push_back(full);
        }
    }
    return level;
}

}  // namespace

FileSearchResult FileSearch::Search(const std::filesystem::path& root) {
    FileSearchResult result;
    std::unique_ptr<platform::Folder> current = files_.openFolder(root);
    if (!current) {
        return result;
    }
    std::vector<Level> stack;
    stack.push_back(ListFolder(*current, root, result));
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next < level.subfolders.size()) {
            const std::filesystem::path& name = level.subfolders[level.next++];
            std::unique_ptr<platform::Folder> child = current->openChild(name);
            if (!child) {
                continue;  // gone, unreadable, a link now, or another file system
            }
            const std::filesystem::path childPath = level.fullPath / name;
            current = std::move(child);  // the parent's handle is closed here
            stack.push_back(ListFolder(*current, childPath, result));
            continue;
        }
        stack.pop_back();
        if (stack.empty()) {
            break;
        }
        // Back up one level through "..", and make sure it is still the folder
        // we came from: if the tree was moved meanwhile, the rest of that
        // folder is given up rather than walking somewhere else.
        std::unique_ptr<platform::Folder> parent = current->openParent();
        if (!parent || parent->identity() != stack.back().identity) {
            parent = files_.openFolder(stack.back().fullPath);
            if (!parent || parent->identity() != stack.back().identity) {
                stack.back().next = stack.back().subfolders.size();
                if (!parent) {
                    // Nothing to stand on; the levels above are given up too.
                    break;
                }
            }
        }
        current = std::move(parent);
    }
    return result;
}

}  // namespace quenlo::shredlist
