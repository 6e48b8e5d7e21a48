#include "shredlist/ShredJob.h"

#include <algorithm>

#include "app/ActiveSettings.h"
#include "platform/PathText.h"
#include "shredlist/FileSearch.h"
#include "shredlist/PathInfo.h"
#include "wipe/RandomSource.h"
#include "wipe/ShredFile.h"
#include "wipe/ShredState.h"

namespace quenlo::shredlist {
namespace {

using platform::FileAttribute::Directory;
using platform::FileAttribute::ReparsePoint;

bool jobRunning = false;

std::string Text(const std::filesystem::path& path) {
    return platform::pathToNativeText(path);
}

std::string Count(std::int64_t current, std::int64_t total) {
    return std::to_string(current) + "  of  " + std::to_string(total);
}

class RunningFlag {
public:
    RunningFlag() { jobRunning = true; }
    ~RunningFlag() { jobRunning = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
};

}  // namespace

// What differs between the two jobs.
struct ShredJob::Walk {
    bool listJob;
    ShredList* list = nullptr;
    std::vector<ShredListEntry*> entries;      // list job: the snapshot
    std::vector<std::filesystem::path> paths;  // the path list
    std::filesystem::path lastFolder;          // list job: Path of the last entry
};

ShredJob::ShredJob(JobProgress& progress, app::Prompts& prompts, platform::FileSystem& files,
                   platform::Clock& clock)
    : progress_(progress), prompts_(prompts), files_(files), clock_(clock) {}

bool ShredJob::Running() {
    return jobRunning;
}

void ShredJob::RunListJob(ShredList& list) {
    if (jobRunning) {
        return;
    }
    if (app::ActiveSettings.ConfirmShreddFiles && !prompts_.confirmOkCancel(kShredQuestion)) {
        return;
    }
    Walk walk{true, &list, {}, {}, {}};
    for (std::size_t i = 0; i < list.topLevelCount(); ++i) {
        ShredListEntry& entry = list.topLevel(i);
        walk.entries.push_back(&entry);
        walk.paths.push_back(entry.data().FullPath);
        walk.lastFolder = entry.data().Path;
    }
    Run(walk);
}

void ShredJob::RunHandOffJob(const std::vector<std::filesystem::path>& paths) {
    if (jobRunning) {
        return;
    }
    Walk walk{false, nullptr, {}, paths, {}};
    Run(walk);
}

void ShredJob::Run(Walk& walk) {
    RunningFlag running;
    bool failed = false;
    std::int32_t fileCount = 0;
    wipe::ShredRepeatCount = 1;
    // An index that names no method would delete the files beneath listed
    // folders without overwriting them: such a value means the default.
    wipe::ShredMethod = wipe::FindWipeMethod(app::ActiveSettings.DefaultAlgorithm)
                            ? app::ActiveSettings.DefaultAlgorithm
                            : wipe::kDefaultWipeMethod;
    wipe::ShredCancelled = false;
    for (const auto& path : walk.paths) {
        fileCount += IsFolder(path, files_) ? 0 : 1;
    }
    progress_.startJobBar(static_cast<std::int64_t>(walk.paths.size()));
    progress_.resetPassPosition();
    progress_.setFolderText("Folder: " + (walk.listJob ? Text(walk.lastFolder) : std::string()));
    if (walk.listJob) {
        progress_.showWindow();
    }
    try {
        std::int32_t processed = 0;
        for (std::size_t index = 0; index < walk.paths.size(); ++index) {
            if (wipe::ShredCancelled.load()) {
                break;  // the hand-off job skips every later path the same way
            }
            const std::filesystem::path& path = walk.paths[index];
            ShredListEntry* entry = walk.listJob ? walk.entries[index] : nullptr;
            progress_.setJobPosition(walk.listJob ? processed + 1
                                                  : static_cast<std::int64_t>(index) + 1);
            if (IsFileSystemRoot(path)) {
                failed = true;  // the root of a file system is never shredded
                continue;
            }
            if (!IsFolder(path, files_)) {
                try {
                    progress_.setFolderText("Folder: " + Text(FolderPart(path)));
                    progress_.setTitleText("File: " + Text(NamePart(path)));
                    progress_.setProcessedText(Count(processed + 1, fileCount));
                    progress_.processPendingMessages();
                    if (wipe::ShredFile(path)) {
                        if (walk.listJob && !wipe::FileStillExists(path)) {
                            walk.list->RemoveFromListKey(path);
                            walk.list->Remove(*entry);
                        }
                        if (walk.listJob && wipe::ShredCancelled.load()) {
                            break;
                        }
                    } else {
                        failed = true;
                    }
                    ++processed;
                } catch (...) {
                    // This entry's handling ends; the walk goes on.
                }
                continue;
            }
            const bool folderShredded = ShredFolder(path, failed);
            if (wipe::ShredCancelled.load()) {
                break;
            }
            if (walk.listJob && folderShredded) {
                walk.list->Remove(*entry);
            }
        }
    } catch (...) {
        progress_.closeWindow();
        throw;
    }
    if (failed) {
        prompts_.warning(kShredWarning);
    }
    progress_.closeWindow();
}

bool ShredJob::ShredFolder(const std::filesystem::path& folder, bool& failed) {
    bool folderFailed = false;
    const FileSearchResult found = FileSearch(files_).Search(folder);
    progress_.setFolderText("Folder: " + Text(folder));
    const auto total = static_cast<std::int64_t>(found.Files.size());
    for (std::size_t i = 0; i < found.Files.size(); ++i) {
        const std::filesystem::path& file = found.Files[i];
        try {
            progress_.setTitleText("File: " + Text(NamePart(file)));
            progress_.setProcessedText(Count(static_cast<std::int64_t>(i) + 1, total));
            progress_.processPendingMessages();
            if (!wipe::ShredFile(file)) {
                failed = folderFailed = true;
            }
        } catch (...) {
        }
        if (wipe::ShredCancelled.load()) {
            return false;
        }
    }
    if (!found.MountPoints.empty()) {
        // Another file system is mounted in the folder: it is left as it is,
        // so the folder cannot go either.
        failed = folderFailed = true;
    }
    try {
        RenameAndRemove(folder, found.Directories, found.MountPoints);
    } catch (...) {
    }
    return !folderFailed;
}

std::filesystem::path ShredJob::NumericName(const std::filesystem::path& path) {
    const std::uint32_t tick = clock_.tickCount();
    const std::int32_t random = wipe::RandomBetween(1, 1000000);
    return FolderPart(path) / (std::to_string(tick) + std::to_string(random));
}

void ShredJob::RenameAndRemove(const std::filesystem::path& folder,
                               std::vector<std::filesystem::path> directories,
                               const std::vector<std::filesystem::path>& mountPoints) {
    // A folder that holds a mount point keeps its name, so the other file
    // system stays where it is.
    auto holdsMount = [&](const std::filesystem::path& candidate) {
        const std::string prefix = candidate.native() + "/";
        return std::any_of(mountPoints.begin(), mountPoints.end(), [&](const auto& mount) {
            return mount.native().compare(0, prefix.size(), prefix) == 0;
        });
    };
    auto byName = [](const std::filesystem::path& a, const std::filesystem::path& b) {
        return CompareFolded(a.native(), b.native()) < 0;
    };
    std::sort(directories.begin(), directories.end(), byName);
    std::vector<std::filesystem::path> renamed;
    for (auto it = directories.rbegin(); it != directories.rend(); ++it) {
        if (holdsMount(*it)) {
            renamed.push_back(*it);
            continue;
        }
        const std::filesystem::path target = NumericName(*it);
        renamed.push_back(files_.move(*it, target) ? target : *it);
    }
    if (holdsMount(folder)) {
        renamed.push_back(folder);
    } else {
        const std::filesystem::path target = NumericName(folder);
        renamed.push_back(files_.move(folder, target) ? target : folder);
    }
    std::sort(renamed.begin(), renamed.end(), byName);
    for (auto it = renamed.rbegin(); it != renamed.rend(); ++it) {
        RemoveFolderTree(*it);
    }
}

bool ShredJob::RemoveFolderTree(const std::filesystem::path& path) {
    if (path.empty()) {
        return false;
    }
    const std::uint32_t own = files_.getAttributes(path);
    if (own == platform::InvalidFileAttributes || (own & Directory) == 0 ||
        (own & ReparsePoint) != 0) {
        return false;  // not a folder of this file system: never entered
    }
    bool complete = true;
    if (auto search = files_.findFirst(path)) {
        platform::FindData entry;
        std::vector<platform::FindData> entries;
        while (search->next(entry)) {
            entries.push_back(entry);
        }
        for (const auto& item : entries) {
            const std::filesystem::path child = path / item.name;
            const bool folder = (item.attributes & Directory) != 0;
            const bool reparse = (item.attributes & ReparsePoint) != 0;
            if (folder && reparse) {
                complete = false;  // a mount point stays as it is
            } else if (folder) {
                complete = RemoveFolderTree(child) && complete;
            } else {
                // A file (or a link, removed itself): deleted plainly.
                files_.setAttributes(child, platform::FileAttribute::Normal);
                complete = files_.deleteFile(child) && complete;
            }
        }
    }
    if (!complete) {
        return false;
    }
    files_.setAttributes(path, platform::FileAttribute::Normal);
    files_.removeDirectory(path);
    return files_.getAttributes(path) == platform::InvalidFileAttributes;
}

bool ShredJob::IsFileSystemRoot(const std::filesystem::path& path) {
    const std::filesystem::path normal = path.lexically_normal();
    if (!normal.empty() && normal == normal.root_path()) {
        return true;
    }
    const std::uint32_t attributes = files_.getAttributes(path);
    return attributes != platform::InvalidFileAttributes && (attributes & Directory) != 0 &&
           (attributes & ReparsePoint) != 0;
}

}  // namespace quenlo::shredlist
