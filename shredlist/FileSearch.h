#pragma once

// The file search of a Shred job: everything beneath a folder, at any depth.

#include <filesystem>
#include <vector>

#include "platform/FileSystem.h"

namespace quenlo::shredlist {

struct FileSearchResult {
    // Every entry beneath the root that is not a folder (files, links, and
    // any other kind), as full paths.
    std::vector<std::filesystem::path> Files;
    // Every subfolder beneath the root, without the root itself.
    std::vector<std::filesystem::path> Directories;
    // Folders beneath the root on which another file system is mounted: they
    // are reported here and never entered, and are not in Directories.
    std::vector<std::filesystem::path> MountPoints;
};

// Lists everything beneath `root`: hidden and system entries included,
// errors ignored (an unreadable folder simply adds nothing). A folder's own
// entries come in the order the file system lists them, before the entries
// of its subfolders, which are entered in the order they were found. A link
// is listed as an entry and never followed; another file system is never
// entered. The walk goes from folder to folder through handles, so trees
// deeper than the longest path the system accepts are walked whole, with at
// most two folders open at a time however deep the tree.
class FileSearch {
public:
    explicit FileSearch(platform::FileSystem& files = platform::systemFileSystem())
        : files_(files) {}

    FileSearchResult Search(const std::filesystem::path& root);

private:
    platform::FileSystem& files_;
};

}  // namespace quenlo::shredlist
