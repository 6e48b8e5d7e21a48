#include "wipe/ShredFile.h"

#include <string>
#include <system_error>

#include "wipe/PatternBlocks.h"
#include "wipe/RandomSource.h"
#include "wipe/ShredState.h"

namespace quenlo::wipe {

ShredServices& CurrentShredServices() {
    static ShredServices services;
    return services;
}

namespace {

using platform::File;
using platform::FileAttribute::Archive;
using platform::FileAttribute::Directory;
using platform::FileAttribute::ReparsePoint;

// The pass bar moves every this many full blocks.
constexpr int kBlocksPerProgressUpdate = 30;
// Write-back of a pass is started every this many bytes, so the disk works
// while the next blocks are written instead of all of it waiting for the
// flush at the end of the pass.
constexpr std::uint64_t kWriteBackChunk = 8u << 20;

// S / 1024 rounded to the nearest whole number, halves to the even one.
std::int64_t RoundedKilobytes(std::uint64_t bytes) {
    std::uint64_t quotient = bytes / 1024;
    const std::uint64_t remainder = bytes % 1024;
    if (remainder > 512 || (remainder == 512 && quotient % 2 == 1)) {
        ++quotient;
    }
    return static_cast<std::int64_t>(quotient);
}

class OverwriteFailed : public std::system_error {
public:
    explicit OverwriteFailed(const std::filesystem::path& fileName)
        : std::system_error(std::make_error_code(std::errc::io_error),
                            "cannot overwrite " + fileName.string()) {}
};

// One pass over the whole file with `block`. Returns false when the file
// could not be overwritten (a failed seek, size or write).
bool WritePass(File& file, const WipeMethodInfo& method, std::span<const std::uint8_t> block,
               ShredProgress* progress) {
    if (!file.seek(0)) {
        return false;
    }
    const std::optional<std::uint64_t> size = file.size();
    if (!size) {
        return false;
    }
    const std::int64_t barMaximum = RoundedKilobytes(*size);
    if (progress) {
        progress->startPassBar(barMaximum);
    }
    auto remaining = static_cast<std::int64_t>(*size);
    const auto blockSize = static_cast<std::int64_t>(block.size());
    std::uint64_t written = 0;
    std::uint64_t writeBackStart = 0;
    int blocksSinceUpdate = 0;
    while (remaining > 0) {
        if (remaining < blockSize) {
            if (!file.write(block.data(), static_cast<std::size_t>(remaining))) {
                return false;
            }
            if (progress && method.barFilledAtPassEnd) {
                progress->setPassPosition(barMaximum);
            }
            break;
        }
        if (!file.write(block.data(), block.size())) {
            return false;
        }
        remaining -= blockSize;
        written += block.size();
        if (written - writeBackStart >= kWriteBackChunk) {
            file.startWriteBack(writeBackStart, written - writeBackStart);
            writeBackStart = written;
        }
        if (ShredCancelled.load()) {
            break;
        }
        if (progress) {
            progress->processPendingMessages();
            if (++blocksSinceUpdate == kBlocksPerProgressUpdate) {
                blocksSinceUpdate = 0;
                try {
                    progress->setPassPosition(static_cast<std::int64_t>(written / 1024));
                } catch (...) {
                    // A failed progress update never stops the overwrite.
                }
            }
        }
    }
    // Each pass reaches the medium before the next starts: unflushed passes
    // would merge in the cache and only the last would ever be written.
    return file.flush();
}

// The procedure all five methods share: open; the passes, `repetitions`
// times; flush; cut to 0; close; unless cancelled, rename to a throw-away
// name and delete.
void ShredWithMethod(const std::filesystem::path& fileName, const WipeMethodInfo& method,
                     std::int32_t repetitions) {
    ShredServices& services = CurrentShredServices();
    std::error_code error;
    std::unique_ptr<File> file = services.files->openExisting(fileName, error);
    if (!file) {
        throw std::system_error(error, "cannot open " + fileName.string());
    }

    bool overwritten = true;
    try {
        PatternBlocks blocks(method);
        for (std::int32_t repetition = 0; repetition < repetitions && overwritten; ++repetition) {
            SeedFromClock(*services.clock);
            blocks.prepareRepetition();
            for (int pass = 1; pass <= static_cast<int>(method.passes.size()); ++pass) {
                const std::span<const std::uint8_t> block = blocks.blockForPass(pass);
                if (ShredProgress* progress = services.progress) {
                    progress->setPassText(PassProgressText(method, pass));
                    progress->processPendingMessages();
                }
                if (!WritePass(*file, method, block, services.progress)) {
                    overwritten = false;
                    break;
                }
            }
        }
    } catch (...) {
        overwritten = false;
    }

    file->flush();
    if (!overwritten) {
        // The content could not be overwritten. Cutting and deleting the file
        // now would report it shredded while its data stays on the disk, so
        // it is kept, whole, under its own name for another attempt.
        file->close();
        throw OverwriteFailed(fileName);
    }
    file->setSize(0);
    file->close();
    if (ShredCancelled.load()) {
        return;
    }

    // The random part is drawn first; the sum is formed in 64 bits so it
    // never wraps.
    const std::int64_t number =
        static_cast<std::int64_t>(RandomBetween(1000, 9000)) + services.clock->tickCount();
    const std::filesystem::path throwAway =
        fileName.parent_path() / (std::to_string(number) + ".ZZZ");
    // The move never replaces an existing file: when the name is taken, the
    // file is deleted under its own name instead.
    if (services.files->move(fileName, throwAway)) {
        services.files->deleteFile(throwAway);
    } else {
        services.files->deleteFile(fileName);
    }
}

}  // namespace

void ShredSimpleOnePass(const std::filesystem::path& fileName, std::int32_t repeatCount) {
    ShredWithMethod(fileName, *FindWipeMethod(wmSimpleOnePass), repeatCount);
}

void ShredSimpleTwoPass(const std::filesystem::path& fileName, std::int32_t repeatCount) {
    ShredWithMethod(fileName, *FindWipeMethod(wmSimpleTwoPass), repeatCount);
}

void ShredDoD(const std::filesystem::path& fileName, std::int32_t repeatCount) {
    ShredWithMethod(fileName, *FindWipeMethod(wmDoD), repeatCount);
}

void ShredMilitary(const std::filesystem::path& fileName, std::int32_t repeatCount) {
    ShredWithMethod(fileName, *FindWipeMethod(wmMilitary), repeatCount);
}

void ShredGutmann(const std::filesystem::path& fileName) {
    ShredWithMethod(fileName, *FindWipeMethod(wmGutmann), 1);
}

bool FileStillExists(const std::filesystem::path& fileName) {
    platform::FileSystem& files = *CurrentShredServices().files;
    const std::uint32_t attributes = files.getAttributes(fileName);
    if (attributes != platform::InvalidFileAttributes) {
        return (attributes & Directory) == 0;
    }
    // Unreadable attributes: believe the folder's listing.
    std::filesystem::path folder = fileName.parent_path();
    auto search = files.findFirst(folder.empty() ? std::filesystem::path(".") : folder);
    if (!search) {
        return false;
    }
    const std::filesystem::path name = fileName.filename();
    platform::FindData entry;
    while (search->next(entry)) {
        if (entry.name == name) {
            return (entry.attributes & Directory) == 0;
        }
    }
    return false;
}

bool ShredFile(const std::filesystem::path& fileName) {
    const WipeMethodInfo* method = FindWipeMethod(ShredMethod);
    if (method == nullptr) {
        return !FileStillExists(fileName);
    }
    platform::FileSystem& files = *CurrentShredServices().files;
    const std::uint32_t attributes = files.getAttributes(fileName);
    if (attributes != platform::InvalidFileAttributes && (attributes & ReparsePoint) != 0) {
        // A link: remove the link itself. What it points to is not the user's
        // choice of file to destroy and is never written.
        files.deleteFile(fileName);
        return !FileStillExists(fileName);
    }
    files.setAttributes(fileName, Archive);
    try {
        ShredWithMethod(fileName, *method, method->honoursRepeatCount ? ShredRepeatCount : 1);
    } catch (const std::system_error& error) {
        // Only "there is no such file" may count as gone: a file that could
        // not be reached (a name too long, a folder that cannot be searched)
        // must not be reported shredded just because it cannot be seen.
        if (error.code() != std::errc::no_such_file_or_directory) {
            return false;
        }
    } catch (...) {
        return false;
    }
    return !FileStillExists(fileName);
}

}  // namespace quenlo::wipe
