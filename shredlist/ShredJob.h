#pragma once

// The Shred jobs: the list job shreds the top-level entries of the Shred list
// and keeps the list and the Shred list key in step; the hand-off job shreds
// the paths handed over by the file-manager integration and touches neither.
// Files go to ShredFile; a folder has every file beneath it shredded, then
// its tree renamed to numeric names and removed.
//
// Nothing beyond what was listed is ever harmed: links are removed
// themselves, never followed; another file system mounted inside a listed
// folder is left as it is (and counts as a failure); the root of a file
// system is refused as an entry.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Prompts.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "shredlist/ShredList.h"

namespace quenlo::shredlist {

// The job-level parts of the progress window. Texts are in the platform's
// narrow encoding (file names as their bytes).
class JobProgress {
public:
    virtual ~JobProgress() = default;
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;
    // ProgressBar2: position 1, then minimum 0 and maximum `count`.
    virtual void startJobBar(std::int64_t count) = 0;
    virtual void setJobPosition(std::int64_t position) = 0;
    // ProgressBar1 back to 0.
    virtual void resetPassPosition() = 0;
    virtual void setFolderText(const std::string& text) = 0;     // labFolder
    virtual void setTitleText(const std::string& text) = 0;      // labTitle
    virtual void setProcessedText(const std::string& text) = 0;  // labProcessed
    virtual void processPendingMessages() = 0;
};

inline constexpr const char* kShredQuestion = "Are you sure to shred file(s)?";
inline constexpr const char* kHandOffQuestion = "Are you sure to shred selected file(s)?";
inline constexpr const char* kShredWarning =
    "Some files can't be shredded because it's in use\r or you don't have required privileges.";

class ShredJob {
public:
    ShredJob(JobProgress& progress, app::Prompts& prompts,
             platform::FileSystem& files = platform::systemFileSystem(),
             platform::Clock& clock = platform::systemClock());

    // Asks (when ConfirmShreddFiles is on), then shreds the list's top-level
    // entries as they stand when the job starts.
    void RunListJob(ShredList& list);

    // Shreds the handed-over paths; asks nothing (the hand-off has asked).
    void RunHandOffJob(const std::vector<std::filesystem::path>& paths);

    // True while a job of this process runs: a second job, and removing
    // entries, are refused meanwhile.
    static bool Running();

    // Removes a folder and everything in it without overwriting, never
    // through a link and never into another file system. True when the
    // folder is gone.
    bool RemoveFolderTree(const std::filesystem::path& path);

private:
    struct Walk;
    void Run(Walk& walk);
    // Shreds what lies beneath `folder`, then renames and removes the tree
    // unless cancelled. Returns false when something beneath could not be
    // shredded (or another file system is mounted in it).
    bool ShredFolder(const std::filesystem::path& folder, bool& failed);
    void RenameAndRemove(const std::filesystem::path& folder,
                         std::vector<std::filesystem::path> directories,
                         const std::vector<std::filesystem::path>& mountPoints);
    bool IsFileSystemRoot(const std::filesystem::path& path);
    std::filesystem::path NumericName(const std::filesystem::path& path);

    JobProgress& progress_;
    app::Prompts& prompts_;
    platform::FileSystem& files_;
    platform::Clock& clock_;
};

}  // namespace quenlo::shredlist
