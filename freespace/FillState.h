#pragma once

// What a free-space fill knows about the drive it is filling. It belongs to
// the disk wiper thread and lives as long as the thread.

#include <cstdint>
#include <string>

namespace quenlo::freespace {

struct FillState {
    // The drive being filled: its letter followed by ":\" ("D:\").
    std::string DriveRoot;
    // Wipe method index 0..4.
    std::int32_t Method = 0;
    bool Removable = false;
    // The write chunk on removable drives; 64 once the thread runs.
    std::uint8_t RemovableChunk = 0;
    // The fill must stop; set by the progress report, cleared between drives.
    bool Cancelled = false;
    // The free-space figures as last measured (one call gives all three).
    std::int64_t FreeAvailable = 0;
    std::int64_t TotalBytes = 0;
    std::int64_t TotalFree = 0;
    // Chunk positions written on this drive times the chunk size, whether
    // the writes succeeded or not.
    std::int64_t BytesWritten = 0;
    // 1024, or 10240 on drives of more than 1,000,000,000 bytes: divides byte
    // counts into progress-bar units.
    std::int32_t ProgressDivisor = 0;
    // Chunk positions between two progress ticks.
    std::int32_t TickInterval = 0;
    // Why the last fill ended before the drive was full (the temporary
    // folder or a file could not be made, a write failed); empty when it
    // filled the drive or was stopped.
    std::string Failure;
};

}  // namespace quenlo::freespace
