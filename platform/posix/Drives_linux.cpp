#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/Drives.h"

#ifndef FS_IOC_GETFSUUID
struct fsuuid2 {
    __u8 len;
    __u8 uuid[16];
};
#define FS_IOC_GETFSUUID _IOR(0x15, 0, struct fsuuid2)
#endif

namespace quenlo::platform {
namespace {

// The mount's root folder, opened for the file-system ioctls; -1 on failure.
class RootHandle {
public:
    explicit RootHandle(const std::filesystem::path& root)
        : fd_(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK)) {}
    RootHandle(const RootHandle&) = delete;
    RootHandle& operator=(const RootHandle&) = delete;
    ~RootHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// The file system's own label and UUID calls (ext4, xfs, btrfs and others).
std::string OwnLabel(const RootHandle& root) {
    char label[FSLABEL_MAX + 1] = {};
    if (root.get() < 0 || ::ioctl(root.get(), FS_IOC_GETFSLABEL, label) != 0) {
        return {};
    }
    return std::string(label);
}

std::optional<std::uint32_t> OwnSerial(const RootHandle& root) {
    fsuuid2 uuid{};
    uuid.len = sizeof uuid.uuid;
    if (root.get() < 0 || ::ioctl(root.get(), FS_IOC_GETFSUUID, &uuid) != 0 || uuid.len < 4) {
        return std::nullopt;
    }
    // The first four bytes, as the text form of the UUID begins with them.
    return (std::uint32_t{uuid.uuid[0]} << 24) | (std::uint32_t{uuid.uuid[1]} << 16) |
           (std::uint32_t{uuid.uuid[2]} << 8) | std::uint32_t{uuid.uuid[3]};
}

const std::set<std::string> kDiskFileSystems = {
    "ext2",  "ext3", "ext4", "xfs",      "btrfs",   "vfat", "msdos",   "exfat",  "ntfs",
    "ntfs3", "f2fs", "jfs",  "reiserfs", "hfsplus", "udf",  "iso9660", "fuseblk"};

// Undoes the octal escapes of /proc/self/mountinfo ("\040" for a blank).
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && std::isdigit(text[i + 1]) &&
            std::isdigit(text[i + 2]) && std::isdigit(text[i + 3])) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Mount {
    std::filesystem::path point;
    std::string type;
    std::string source;
};

std::vector<Mount> ReadMounts() {
    std::vector<Mount> mounts;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, options, field;
        fields >> id >> parent >> device >> root >> point >> options;
        while (fields >> field && field != "-") {
        }
        Mount mount;
        mount.point = Unescape(point);
        fields >> mount.type >> mount.source;
        mount.source = Unescape(mount.source);
        mounts.push_back(mount);
    }
    return mounts;
}

bool IsRemovable(const std::string& source) {
    // /dev/sdb1 -> /sys/class/block/sdb1/../removable, or a USB device path.
    const std::filesystem::path device = std::filesystem::path(source).filename();
    std::error_code error;
    const auto sys = std::filesystem::canonical("/sys/class/block" / device, error);
    if (error) {
        return false;
    }
    if (sys.string().find("/usb") != std::string::npos) {
        return true;
    }
    for (auto folder = sys; folder.has_parent_path() && folder != folder.parent_path();
         folder = folder.parent_path()) {
        std::ifstream removable(folder / "removable");
        int value = 0;
        if (removable >> value) {
            return value == 1;
        }
    }
    return false;
}

std::vector<Drive> ParseOverride(const std::string& text) {
    std::vector<Drive> drives;
    std::istringstream items(text);
    std::string item;
    while (std::getline(items, item, ';')) {
        const auto equals = item.find('=');
        if (equals != 1 || !std::isalpha(static_cast<unsigned char>(item[0]))) {
            continue;
        }
        Drive drive;
        drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(item[0])));
        std::string root = item.substr(2);
        if (const auto colon = root.rfind(':'); colon != std::string::npos) {
            static const std::map<std::string, DriveType> kKinds = {
                {"removable", DriveType::Removable}, {"fixed", DriveType::Fixed},
                {"remote", DriveType::Remote},       {"cdrom", DriveType::CdRom},
                {"ramdisk", DriveType::RamDisk},
            };
            if (const auto kind = kKinds.find(root.substr(colon + 1)); kind != kKinds.end()) {
                drive.type = kind->second;
                root.erase(colon);
            }
        }
        drive.root = root;
        drives.push_back(drive);
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return drives;
}

std::optional<Drive> Find(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const Drive& drive : Drives()) {
        if (drive.letter == letter) {
            return drive;
        }
    }
    return std::nullopt;
}

// The name under which /dev/disk/<folder> ("by-label", "by-uuid") lists the
// device `source`, as udev wrote it; empty when it is not listed.
std::string DiskLinkName(const std::string& folder, const std::string& source) {
    if (source.empty()) {
        return {};
    }
    std::error_code error;
    const auto device = std::filesystem::weakly_canonical(source, error);
    for (const auto& entry : std::filesystem::directory_iterator("/dev/disk/" + folder, error)) {
        if (std::filesystem::weakly_canonical(entry.path(), error) == device) {
            return Unescape(entry.path().filename().string());
        }
    }
    return {};
}

// The serial number from the device's UUID: its first eight hex digits.
std::optional<std::uint32_t> SerialOf(const std::string& source) {
    std::string digits;
    for (const char c : DiskLinkName("by-uuid", source)) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        }
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::stoul(digits.substr(0, 8), nullptr, 16));
}

}  // namespace

std::optional<std::filesystem::path> DriveRootPath(char letter) {
    const auto drive = Find(letter);
    if (!drive) {
        return std::nullopt;
    }
    return drive->root;
}

std::vector<Drive> Drives() {
    if (const char* override = std::getenv("QUENLO_DRIVES"); override != nullptr) {
        return ParseOverride(override);
    }
    std::vector<Drive> drives;
    std::vector<Mount> others;
    for (const Mount& mount : ReadMounts()) {
        if (mount.point == "/") {
            drives.push_back({'C', "/", DriveType::Fixed});
        } else if (kDiskFileSystems.count(mount.type) != 0 && mount.source.rfind("/dev/", 0) == 0) {
            others.push_back(mount);
        }
    }
    std::sort(others.begin(), others.end(),
              [](const Mount& a, const Mount& b) { return a.point < b.point; });
    char letter = 'D';
    for (const Mount& mount : others) {
        if (letter > 'Z') {
            break;
        }
        drives.push_back({letter++, mount.point,
                          IsRemovable(mount.source) ? DriveType::Removable : DriveType::Fixed});
    }
    return drives;
}

std::uint32_t GetLogicalDrives() {
    std::uint32_t mask = 0;
    for (const Drive& drive : Drives()) {
        mask |= 1u << (drive.letter - 'A');
    }
    return mask;
}

DriveType GetDriveType(char letter) {
    const auto drive = Find(letter);
    return drive ? drive->type : DriveType::NoRootDir;
}

std::optional<VolumeInformation> GetVolumeInformation(char letter) {
    const auto drive = Find(letter);
    if (!drive) {
        return std::nullopt;
    }
    VolumeInformation info;
    struct statvfs vfs {};
    if (::statvfs(drive->root.c_str(), &vfs) != 0) {
        return std::nullopt;
    }
    info.maximumComponentLength = static_cast<std::uint32_t>(vfs.f_namemax);
    info.serialNumber = static_cast<std::uint32_t>(vfs.f_fsid);
    // FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES, and
    // FILE_READ_ONLY_VOLUME for a file system mounted read-only.
    info.fileSystemFlags = 0x1 | 0x2;
    if ((vfs.f_flag & ST_RDONLY) != 0) {
        info.fileSystemFlags |= 0x80000;
    }
    std::string source;
    for (const Mount& mount : ReadMounts()) {
        if (mount.point == drive->root) {
            info.fileSystemName = mount.type;
            source = mount.source;
        }
    }
    const RootHandle root(drive->root);
    info.label = DiskLinkName("by-label", source);
    if (info.label.empty()) {
        info.label = OwnLabel(root);
    }
    if (const auto serial = SerialOf(source)) {
        info.serialNumber = *serial;
    } else if (const auto own = OwnSerial(root)) {
        info.serialNumber = *own;
    }
    return info;
}

std::optional<DiskFreeSpace> GetDiskFreeSpaceEx(char letter) {
    const auto drive = Find(letter);
    struct statvfs vfs {};
    if (!drive || ::statvfs(drive->root.c_str(), &vfs) != 0) {
        return std::nullopt;
    }
    DiskFreeSpace space;
    const std::uint64_t unit = vfs.f_frsize;
    space.total = vfs.f_blocks * unit;
    space.free = vfs.f_bfree * unit;
    space.freeToCaller = (::geteuid() == 0 ? vfs.f_bfree : vfs.f_bavail) * unit;
    return space;
}

}  // namespace quenlo::platform
