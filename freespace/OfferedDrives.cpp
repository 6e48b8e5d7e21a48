#include "freespace/OfferedDrives.h"

namespace quenlo::freespace {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool IsOfferedType(platform::DriveType type) {
    return type == platform::DriveType::Fixed || type == platform::DriveType::Removable;
}

std::vector<OfferedDrive> OfferedDrives(const std::string& letters,
                                        const sysinfo::TtvAPIThing& information) {
    std::vector<OfferedDrive> drives;
    for (const char letter : letters) {
        const platform::DriveType type = platform::GetDriveType(letter);
        if (!IsOfferedType(type)) {
            continue;
        }
        OfferedDrive drive;
        drive.letter = letter;
        drive.type = type;
        sysinfo::TVolumeInfo volume;
        information.GetVolumeInfo(letter, volume);
        drive.label = Trimmed(volume.VolumeName);
        drive.fileSystem = volume.FileSystemName;
        if (!drive.label.empty()) {
            drive.caption = drive.label;
        } else if (type == platform::DriveType::Removable) {
            drive.caption = letter == 'A' || letter == 'B' ? kFloppyCaption : kRemovableCaption;
        } else {
            drive.caption = kFixedCaption;
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

}  // namespace quenlo::freespace
