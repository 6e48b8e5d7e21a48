#pragma once

// Filling the free space of one drive with the passes of a Wipe method.
//
// Why: a file deleted plainly leaves its data in blocks the file system now
// counts as free. The only way to reach those blocks through the file
// system is to ask it for all of them: the fill writes hidden temporary
// files into the folder "$clean_tmp" in the drive's root until the drive
// reports no free space, writing every pass of the method over each chunk
// position, and CleanTempFolder deletes them again. What it cannot reach:
// blocks the file system keeps for itself (journal, metadata, slack inside
// other files' last blocks, and on ext4 a reserve of up to 2 % of the blocks
// that no writer, root included, is given), and on flash media the cells the device remaps
// behind the file system's back.
//
// Write model: the unit is one chunk (1024 bytes, 64 on removable drives);
// at each chunk position every pass of the method is written over the same
// range before the next position. To keep system calls few, the positions
// between two progress ticks are written pass by pass with one positional
// write each; near a full drive the fill falls back to one write per chunk
// and pass, so it still reaches the last chunk of free space. What each
// position receives, in which order, and everything the window sees (ticks,
// measurements, log lines) is the same either way.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "freespace/FillState.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/FileSystem.h"

namespace quenlo::freespace {

// The temporary folder's name in the drive's root, and a temporary file's
// name: "tmp" and the number padded to four digits (tmp0001; tmp10000).
inline constexpr std::string_view kTempFolderName = "$clean_tmp";
std::string TempFileName(int number);

// A temporary file is closed once, before a chunk position, its size exceeds
// this; a full file therefore holds the limit plus one chunk.
inline constexpr std::uint64_t kTempFileLimit = std::uint64_t{1} << 31;

// The log line of each finished temporary file.
inline constexpr std::string_view kFlushLine = "Flushing disk buffers";

// How many passes the fill of `method` writes over each chunk position; 0
// for an index outside 0..4.
int FillPassCount(std::int32_t method);

// The operating-system services a fill uses; tests replace single ones.
struct FillServices {
    platform::FileSystem* files = &platform::systemFileSystem();
    platform::Clock* clock = &platform::systemClock();
    // GetDiskFreeSpaceExW on the drive of a letter.
    std::function<std::optional<platform::DiskFreeSpace>(char)> freeSpace = platform::GetDiskFreeSpaceEx;
    // The folder a drive letter's root stands for.
    std::function<std::optional<std::filesystem::path>(char)> rootPath = platform::DriveRootPath;
    // See kTempFileLimit; smaller in tests, so they need not write 2 GiB files.
    std::uint64_t fileSizeLimit = kTempFileLimit;
};

// A short measured write: `bytes` of zeros into a temporary file in the
// drive's "$clean_tmp" folder (made for the purpose and removed again when
// it was not there), committed to the disk, then deleted. Returns bytes per
// second; nothing when the drive cannot be written, the folder is a link or
// mount point, or the clock says no time passed.
std::optional<double> MeasureWriteRate(char letter, const FillServices& services,
                                       std::uint64_t bytes);

class FreeSpaceFill : public FillState {
public:
    explicit FreeSpaceFill(FillServices services = {});
    virtual ~FreeSpaceFill() = default;
    FreeSpaceFill(const FreeSpaceFill&) = delete;
    FreeSpaceFill& operator=(const FreeSpaceFill&) = delete;

    // The fill of the drive in DriveRoot with Wipe method 0..4. They read
    // Removable and add to BytesWritten; the temporary files stay until
    // CleanTempFolder. A stop is noticed at the next progress tick, after
    // which the current file is finished and the fill ends. A temporary
    // folder or file that cannot be created ends the fill without touching
    // anything further.
    void FillSimpleOnePass();
    void FillSimpleTwoPass();
    void FillDoD();
    void FillMilitary();
    void FillGutmann();
    // The fill that `method` names; false for an index outside 0..4.
    bool FillWithMethod(std::int32_t method);

    // Deletes every file in the drive's "$clean_tmp" folder (plainly, without
    // overwriting) and then the folder. Failures are ignored: a folder that
    // holds a subfolder or an undeletable file stays. A "$clean_tmp" that is
    // a link or a mount point is left alone, so the clean-up never deletes
    // files outside the drive's own folder.
    void CleanTempFolder(char letter);

protected:
    // The reports the disk wiper carries to its window.
    // The drive is about to be filled (there is room for one chunk).
    virtual void FillStarted() = 0;
    // A progress tick; may set Cancelled.
    virtual void FillProgress() = 0;
    // A log line (icon 0 information, 1 warning).
    virtual void FillLogLine(std::string_view caption, int icon) = 0;

    const FillServices& services() const { return services_; }

private:
    struct Pass {
        std::vector<unsigned char> chunk;  // the data of one chunk position
        std::vector<unsigned char> run;    // the chunk repeated for a whole batch
    };

    void Fill(std::vector<Pass> passes, bool rowsFirst);
    void Measure();
    std::optional<std::filesystem::path> TempFolder(char letter) const;
    // Writes `count` positions from `first` on; returns how many positions
    // were written (the last one possibly failing), and sets `failed` when
    // the file can take no more (an error other than a full drive, or a
    // full drive that keeps refusing every chunk).
    std::uint64_t WriteBatch(platform::File& file, std::uint64_t first, std::uint64_t count,
                             std::vector<Pass>& passes, bool& failed);

    FillServices services_;
    std::size_t chunk_ = 1024;
    bool skipPassesAfterError_ = false;
    int stalledPositions_ = 0;
};

}  // namespace quenlo::freespace
