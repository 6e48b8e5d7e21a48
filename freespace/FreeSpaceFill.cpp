#include "freespace/FreeSpaceFill.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "wipe/RandomSource.h"
#include "wipe/WipeMethods.h"

namespace quenlo::freespace {
namespace {

using platform::FileAttribute::Archive;
using platform::FileAttribute::Directory;
using platform::FileAttribute::Hidden;
using platform::FileAttribute::ReparsePoint;

constexpr std::size_t kFixedChunk = 1024;
constexpr std::size_t kRowBytes = 2048;  // the rows of methods 3 and 4
constexpr std::uint8_t kDefaultRemovableChunk = 64;

// The eight bytes of method 3, in the order the fill writes them.
constexpr std::array<std::uint8_t, 8> kMilitaryBytes = {0x00, 0xFF, 0x55, 0xAA,
                                                        0x00, 0xFF, 0x55, 0xAA};

// A drive that keeps refusing whole chunks without an error while it still
// reports free space (the space left is smaller than a block, or taken by
// metadata) ends the fill after this many positions in a row.
constexpr int kStalledLimit = 8;

// Ask for write-back of what was written every this many bytes, so writing
// to the medium overlaps the fill instead of all waiting for the flush.
constexpr std::uint64_t kWriteBackStep = 8u << 20;

bool IsRealFolder(std::uint32_t attributes) {
    return attributes != platform::InvalidFileAttributes && (attributes & Directory) != 0 &&
           (attributes & ReparsePoint) == 0;
}

std::vector<unsigned char> TripleRow(const wipe::TriplePattern& pattern) {
    std::vector<unsigned char> row(kRowBytes);
    for (std::size_t i = 0; i < kRowBytes; ++i) {
        const char16_t unit = pattern[(i / 2) % 3];
        row[i] = static_cast<unsigned char>(i % 2 == 0 ? unit & 0xFF : unit >> 8);
    }
    return row;
}

}  // namespace

std::string TempFileName(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return std::string("tmp") + digits;
}

FreeSpaceFill::FreeSpaceFill(FillServices services) : services_(std::move(services)) {}

int FillPassCount(std::int32_t method) {
    switch (method) {
        case wipe::wmSimpleOnePass: return 1;
        case wipe::wmSimpleTwoPass: return 2;
        case wipe::wmDoD: return 3;
        case wipe::wmMilitary: return static_cast<int>(kMilitaryBytes.size());
        case wipe::wmGutmann: {
            int count = 0;
            for (const wipe::PassPattern& pattern : wipe::FindWipeMethod(method)->passes) {
                count += pattern.kind == wipe::PatternKind::Byte ||
                         pattern.kind == wipe::PatternKind::RandomByte ||
                         pattern.kind == wipe::PatternKind::Triple;
            }
            return count;
        }
        default: return 0;
    }
}

std::optional<double> MeasureWriteRate(char letter, const FillServices& services,
                                       std::uint64_t bytes) {
    const auto root = services.rootPath(letter);
    if (!root || bytes == 0) {
        return std::nullopt;
    }
    platform::FileSystem& files = *services.files;
    const auto folder = *root / std::string(kTempFolderName);
    const bool made = files.getAttributes(folder) == platform::InvalidFileAttributes &&
                      files.createDirectory(folder);
    if (!IsRealFolder(files.getAttributes(folder))) {
        return std::nullopt;
    }
    if (made) {
        files.setAttributes(folder, Hidden | Archive);
    }
    // Number 0 is never a fill's, so an earlier fill's leftovers stay as
    // they are; a leftover of this file goes with the next clean-up.
    const auto path = folder / TempFileName(0);
    std::optional<double> rate;
    std::error_code error;
    if (auto file = files.createNew(path, error)) {
        const std::vector<unsigned char> block(std::size_t{1} << 20, 0);
        const std::uint32_t start = services.clock->tickCount();
        bool written = true;
        for (std::uint64_t offset = 0; written && offset < bytes; offset += block.size()) {
            const std::size_t size =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), bytes - offset));
            written = file->writeAt(offset, block.data(), size, error) == size;
        }
        written = written && file->flush();
        const std::uint32_t elapsed = services.clock->tickCount() - start;
        file->close();
        files.deleteFile(path);
        if (written && elapsed > 0) {
            rate = static_cast<double>(bytes) * 1000.0 / elapsed;
        }
    }
    if (made) {
        files.removeDirectory(folder);
    }
    return rate;
}

void FreeSpaceFill::FillSimpleOnePass() { FillWithMethod(wipe::wmSimpleOnePass); }
void FreeSpaceFill::FillSimpleTwoPass() { FillWithMethod(wipe::wmSimpleTwoPass); }
void FreeSpaceFill::FillDoD() { FillWithMethod(wipe::wmDoD); }
void FreeSpaceFill::FillMilitary() { FillWithMethod(wipe::wmMilitary); }
void FreeSpaceFill::FillGutmann() { FillWithMethod(wipe::wmGutmann); }

std::optional<std::filesystem::path> FreeSpaceFill::TempFolder(char letter) const {
    const auto root = services_.rootPath(letter);
    if (!root) {
        return std::nullopt;
    }
    return *root / std::string(kTempFolderName);
}

void FreeSpaceFill::Measure() {
    const char letter = DriveRoot.empty() ? '\0' : DriveRoot[0];
    const auto space = services_.freeSpace(letter);
    // A drive that cannot be measured has no free space to fill; keeping the
    // figures of the drive before would fill blindly.
    const auto clamp = [](std::uint64_t value) {
        return static_cast<std::int64_t>(std::min<std::uint64_t>(value, INT64_MAX));
    };
    FreeAvailable = space ? clamp(space->freeToCaller) : 0;
    TotalBytes = space ? clamp(space->total) : 0;
    TotalFree = space ? clamp(space->free) : 0;
}

bool FreeSpaceFill::FillWithMethod(std::int32_t method) {
    if (wipe::FindWipeMethod(method) == nullptr || DriveRoot.empty()) {
        return false;
    }
    platform::FileSystem& files = *services_.files;
    std::vector<Pass> passes;

    // Methods 3 and 4 make their rows first, before anything is created; the
    // random draws of method 4 happen here, in pass order, once per drive.
    if (method == wipe::wmMilitary) {
        for (const std::uint8_t value : kMilitaryBytes) {
            passes.push_back({std::vector<unsigned char>(kRowBytes, value), {}});
        }
    } else if (method == wipe::wmGutmann) {
        for (const wipe::PassPattern& pattern : wipe::FindWipeMethod(method)->passes) {
            switch (pattern.kind) {
                case wipe::PatternKind::Byte:
                    passes.push_back({std::vector<unsigned char>(kRowBytes, pattern.value), {}});
                    break;
                case wipe::PatternKind::RandomByte:
                    passes.push_back({std::vector<unsigned char>(
                                          kRowBytes, static_cast<unsigned char>(wipe::RandomBelow(255))),
                                      {}});
                    break;
                case wipe::PatternKind::Triple:
                    passes.push_back({TripleRow(wipe::kTriplePatterns[pattern.value]), {}});
                    break;
                default:
                    break;
            }
        }
    }

    Failure.clear();
    const auto folder = TempFolder(DriveRoot[0]);
    if (!folder) {
        Failure = "the drive cannot be reached";
        return true;
    }
    files.createDirectory(*folder);  // an existing folder is used as it is
    if (!IsRealFolder(files.getAttributes(*folder))) {
        // Not creatable (a write-protected medium), or something other than a
        // folder of this drive stands there: never write through it.
        Failure = "the temporary folder " + std::string(kTempFolderName) + " cannot be made";
        return true;
    }
    files.setAttributes(*folder, Hidden | Archive);

    if (method <= wipe::wmDoD) {
        wipe::SeedFromClock(*services_.clock);
    }
    const std::uint8_t removableChunk = RemovableChunk != 0 ? RemovableChunk : kDefaultRemovableChunk;
    chunk_ = Removable ? removableChunk : kFixedChunk;
    if (method == wipe::wmSimpleOnePass) {
        passes.push_back({std::vector<unsigned char>(chunk_, 0x00), {}});
    } else if (method == wipe::wmSimpleTwoPass) {
        passes.push_back({std::vector<unsigned char>(chunk_, 0x00), {}});
        passes.push_back({std::vector<unsigned char>(chunk_, 0xFF), {}});
    } else if (method == wipe::wmDoD) {
        Pass first{std::vector<unsigned char>(chunk_), {}};
        Pass complement{std::vector<unsigned char>(chunk_), {}};
        Pass second{std::vector<unsigned char>(chunk_), {}};
        for (std::size_t i = 0; i < chunk_; ++i) {
            const auto c = static_cast<unsigned char>(wipe::RandomBetween(0, 255));
            first.chunk[i] = c;
            complement.chunk[i] = static_cast<unsigned char>(255 - c);
            second.chunk[i] = static_cast<unsigned char>(wipe::RandomBetween(0, 255));
        }
        passes = {std::move(first), std::move(complement), std::move(second)};
    } else {
        for (Pass& pass : passes) {
            pass.chunk.resize(chunk_);  // each write uses the row's first chunk
        }
    }
    skipPassesAfterError_ = method >= wipe::wmMilitary;

    // chunk / 4, rounded (both chunk sizes divide evenly).
    TickInterval = static_cast<std::int32_t>((chunk_ + 2) / 4);
    const std::size_t batchPositions = static_cast<std::size_t>(TickInterval) + 1;
    for (Pass& pass : passes) {
        pass.run.resize(batchPositions * chunk_);
        for (std::size_t i = 0; i < batchPositions; ++i) {
            std::copy(pass.chunk.begin(), pass.chunk.end(), pass.run.begin() + static_cast<std::ptrdiff_t>(i * chunk_));
        }
    }

    Measure();
    if (FreeAvailable < static_cast<std::int64_t>(chunk_)) {
        return true;
    }
    ProgressDivisor = TotalBytes > 1'000'000'000 ? 10240 : 1024;
    FillStarted();

    const std::uint64_t interval = static_cast<std::uint64_t>(TickInterval);
    const std::uint64_t positionsPerFile = services_.fileSizeLimit / chunk_ + 1;
    std::uint64_t tickCounter = 0;  // not reset between files
    int fileNumber = 1;
    stalledPositions_ = 0;
    while (FreeAvailable > 0) {
        if (Cancelled) {
            break;
        }
        Measure();
        const std::filesystem::path path = *folder / TempFileName(fileNumber);
        std::error_code error;
        auto file = files.createAlways(path, error);
        if (!file) {
            // Nothing was opened, so nothing is flushed, closed or logged. A
            // drive that is full refuses the file for that reason alone.
            if (FreeAvailable >= static_cast<std::int64_t>(chunk_) && !platform::IsDiskFull(error)) {
                Failure = "a temporary file cannot be made: " + error.message();
            }
            break;
        }
        files.setAttributes(path, Hidden | Archive);

        std::uint64_t position = 0;
        std::uint64_t writtenBack = 0;
        bool failed = false;
        while (position < positionsPerFile && FreeAvailable > 0) {
            // Up to and including the position after which the next tick comes.
            const std::uint64_t count = std::min(interval - tickCounter + 1, positionsPerFile - position);
            const std::uint64_t done = WriteBatch(*file, position, count, passes, failed);
            position += done;
            BytesWritten += static_cast<std::int64_t>(done * chunk_);
            if (failed) {
                FreeAvailable = 0;
            }
            if (done == count && tickCounter + count - 1 == interval) {
                Measure();
                if (failed) {
                    FreeAvailable = 0;  // the file can take no more, whatever the drive says
                }
                FillProgress();
                if (Cancelled) {
                    break;
                }
                tickCounter = 1;
            } else {
                tickCounter += done;
            }
            const std::uint64_t end = position * chunk_;
            if (end - writtenBack >= kWriteBackStep) {
                file->startWriteBack(writtenBack, end - writtenBack);
                writtenBack = end;
            }
        }
        ++fileNumber;
        FillLogLine(kFlushLine, 0);
        file->flush();
        file->close();
    }
    // The temporary folder's own blocks came out of the free space too. A
    // file system with a journal writes a new folder's blocks to their place
    // only later, and never if the folder is removed first, so whatever those
    // blocks held before would stay. Commit the whole volume now, while the
    // folder still exists.
    files.flushVolume(*folder);
    return true;
}

std::uint64_t FreeSpaceFill::WriteBatch(platform::File& file, std::uint64_t first, std::uint64_t count,
                                        std::vector<Pass>& passes, bool& failed) {
    std::error_code error;
    // Every pass over the whole batch: the positions that all passes
    // covered completely are done.
    std::uint64_t whole = count;
    for (const Pass& pass : passes) {
        if (whole == 0) {
            break;
        }
        const std::size_t written = file.writeAt(first * chunk_, pass.run.data(), whole * chunk_, error);
        whole = std::min<std::uint64_t>(whole, written / chunk_);
    }
    if (whole == count) {
        stalledPositions_ = 0;
        return count;
    }
    // The drive is (nearly) full, or a write failed: go on chunk by chunk,
    // all passes at each position, to fill the last chunks that still fit.
    for (std::uint64_t j = whole; j < count; ++j) {
        const std::uint64_t offset = (first + j) * chunk_;
        bool raised = false;
        bool progress = false;
        for (std::size_t p = 0; p < passes.size(); ++p) {
            if (raised && skipPassesAfterError_) {
                break;
            }
            const std::size_t written = file.writeAt(offset, passes[p].chunk.data(), chunk_, error);
            if (p == 0) {
                progress = written > 0;
            }
            if (written < chunk_ && !platform::IsDiskFull(error)) {
                raised = true;
            }
        }
        if (raised) {
            Failure = "a write failed: " + error.message();
            failed = true;
            return j + 1;
        }
        stalledPositions_ = progress ? 0 : stalledPositions_ + 1;
        if (stalledPositions_ >= kStalledLimit) {
            failed = true;
            return j + 1;
        }
    }
    return count;
}

void FreeSpaceFill::CleanTempFolder(char letter) {
    const auto folder = TempFolder(letter);
    if (!folder) {
        return;
    }
    platform::FileSystem& files = *services_.files;
    if (!IsRealFolder(files.getAttributes(*folder))) {
        return;
    }
    if (auto search = files.findFirst(*folder)) {
        platform::FindData entry;
        while (search->next(entry)) {
            if ((entry.attributes & Directory) == 0) {
                files.deleteFile(*folder / entry.name);
            }
        }
    }
    files.removeDirectory(*folder);
}

}  // namespace quenlo::freespace
