#pragma once

// The drives a Free-space wipe offers, as the wizard lists them and the
// command-line tool takes them: fixed and removable drives only (network,
// optical, RAM and unknown drives are never filled), each captioned with its
// volume label or, without one, with what kind of drive it is.

#include <string>
#include <vector>

#include "platform/Drives.h"
#include "sysinfo/TtvAPIThing.h"

namespace quenlo::freespace {

inline constexpr const char* kFloppyCaption = "FLOPPY DRIVE";
inline constexpr const char* kRemovableCaption = "Removable Disk";
inline constexpr const char* kFixedCaption = "LOCAL DISK";

struct OfferedDrive {
    char letter = 'C';
    platform::DriveType type = platform::DriveType::Fixed;
    // The volume label with blanks trimmed at both ends; empty when it has
    // none or it cannot be read (no medium).
    std::string label;
    // The label, or "FLOPPY DRIVE" (removable A or B), "Removable Disk" or
    // "LOCAL DISK" when it is empty.
    std::string caption;
    // The file system's name ("ext4"); empty when it cannot be read.
    std::string fileSystem;
};

// True for the drive types a Free-space wipe may fill.
bool IsOfferedType(platform::DriveType type);

// Every offered drive among `letters` (upper-case, in order), in that order.
std::vector<OfferedDrive> OfferedDrives(const std::string& letters,
                                        const sysinfo::TtvAPIThing& information);

}  // namespace quenlo::freespace
