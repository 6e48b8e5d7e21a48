#pragma once

// The Windows drive model (GetLogicalDrives, GetDriveTypeW,
// GetVolumeInformationW, GetDiskFreeSpaceExW) over the system's drives.
//
// On Linux a drive map gives mounted file systems letters: the file system
// of "/" is C, every other mounted block-device file system (ext2/3/4, xfs,
// btrfs, vfat, exfat, ntfs, f2fs and the like; not proc, tmpfs, overlay,
// network file systems) gets the next letter from D in the order of its
// mount point. QUENLO_DRIVES ("C=/;E=/media/stick:removable") replaces the
// map entirely; a root may end in ":fixed" (the default), ":removable",
// ":remote", ":cdrom" or ":ramdisk".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quenlo::platform {

enum class DriveType : std::uint32_t {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

struct Drive {
    char letter = 'C';
    std::filesystem::path root;  // the mount point
    DriveType type = DriveType::Fixed;
};

struct VolumeInformation {
    std::string label;
    std::uint32_t serialNumber = 0;
    std::uint32_t maximumComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;
    std::string fileSystemName;
};

struct DiskFreeSpace {
    std::uint64_t freeToCaller = 0;
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};

// The drive map, in letter order.
std::vector<Drive> Drives();

// GetLogicalDrives: bit 0 for A, bit 2 for C and so on.
std::uint32_t GetLogicalDrives();

// Where the drive of a letter lives in the file system: the folder that its
// root "L:\" stands for. Empty for a letter without a drive.
std::optional<std::filesystem::path> DriveRootPath(char letter);

// GetDriveTypeW of a letter; NoRootDir for a letter without a drive.
DriveType GetDriveType(char letter);

// GetVolumeInformationW. Nothing at all for a letter without a drive or one
// whose medium cannot be reached (an empty card reader, a mount point that
// is gone); empty strings and zeros for the parts that cannot be read. The
// serial number comes from the file system's UUID (a FAT volume id
// "ABCD-1234" becomes 0xABCD1234, as Windows shows it; longer UUIDs give
// their first 32 bits).
std::optional<VolumeInformation> GetVolumeInformation(char letter);

// GetDiskFreeSpaceExW, the three figures from one call; for root the blocks
// reserved for root count as free to the caller.
std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(char letter);

}  // namespace quenlo::platform
