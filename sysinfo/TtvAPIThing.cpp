#include "sysinfo/TtvAPIThing.h"

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "platform/Drives.h"

namespace quenlo::sysinfo {
namespace {

std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();  // an unknown locale in the environment
    }
}

std::uint32_t Kilobytes(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes >> 10, 0xFFFFFFFFu));
}

}  // namespace

std::string DateTimeText(const platform::SystemTime& time) {
    std::tm parts{};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minute;
    parts.tm_sec = time.second;
    std::ostringstream text;
    text.imbue(UserLocale());
    const bool midnight =
        time.hour == 0 && time.minute == 0 && time.second == 0 && time.milliseconds == 0;
    text << std::put_time(&parts, midnight ? "%x" : "%x %X");
    return text.str();
}

std::string VersionText(const platform::OsVersionInfo& version) {
    std::string text;
    switch (version.platformId) {
        case 0: text = "Win32s"; break;
        case 1: text = "Windows 95"; break;
        case 2: text = "Windows NT"; break;
        default: break;
    }
    const std::string servicePack = version.servicePack.substr(0, version.servicePack.find('\0'));
    text += " Version " + std::to_string(version.majorVersion) + "." +
            std::to_string(version.minorVersion) + "\r\n (Build " +
            std::to_string(version.buildNumber) + ": " + servicePack + ")";
    return text;
}

bool TtvAPIThing::GetVolumeInfo(char letter, TVolumeInfo& info) const {
    info = TVolumeInfo{};
    const auto volume = platform::GetVolumeInformation(letter);
    if (!volume) {
        return false;
    }
    // The label and file-system name buffers hold 260 characters.
    if (platform::CharacterCount(volume->label) + 1 > kPathBuffer ||
        platform::CharacterCount(volume->fileSystemName) + 1 > kPathBuffer) {
        return false;
    }
    info.VolumeName = volume->label;
    info.SerialNumber = volume->serialNumber;
    info.MaxComponentLength = volume->maximumComponentLength;
    info.FileSystemFlags = volume->fileSystemFlags;
    info.FileSystemName = volume->fileSystemName;
    return true;
}

std::string TtvAPIThing::LogicalDrives() const {
    const std::uint32_t mask = platform::GetLogicalDrives();
    std::string letters;
    for (int bit = 0; bit < 26; ++bit) {
        if ((mask & (1u << bit)) != 0) {
            letters += static_cast<char>('A' + bit);
        }
    }
    return letters;
}

std::string TtvAPIThing::UserName() const { return system_.userName(kUserNameBuffer).value_or(""); }
std::string TtvAPIThing::ComputerName() const {
    return system_.computerName(kComputerNameBuffer).value_or("");
}
std::string TtvAPIThing::WindowsDirectory() const {
    return system_.windowsDirectory(kPathBuffer).value_or("");
}
std::string TtvAPIThing::SystemDirectory() const {
    return system_.systemDirectory(kPathBuffer).value_or("");
}
std::string TtvAPIThing::SystemTime() const { return DateTimeText(system_.systemTime()); }
std::string TtvAPIThing::LocalTime() const { return DateTimeText(system_.localTime()); }
std::string TtvAPIThing::CurrentDirectory() const {
    return system_.currentDirectory(kPathBuffer).value_or("");
}
std::string TtvAPIThing::TempPath() const { return system_.tempPath(kPathBuffer).value_or(""); }
std::string TtvAPIThing::OSVersion() const {
    const auto version = system_.version();
    return version ? VersionText(*version) : std::string();
}

std::uint32_t TtvAPIThing::dwMemoryLoad() const { return system_.memoryStatus().memoryLoad; }
std::uint32_t TtvAPIThing::dwTotalPhys() const { return Kilobytes(system_.memoryStatus().totalPhys); }
std::uint32_t TtvAPIThing::dwAvailPhys() const { return Kilobytes(system_.memoryStatus().availPhys); }
std::uint32_t TtvAPIThing::dwTotalPageFile() const {
    return Kilobytes(system_.memoryStatus().totalPageFile);
}
std::uint32_t TtvAPIThing::dwAvailPageFile() const {
    return Kilobytes(system_.memoryStatus().availPageFile);
}
std::uint32_t TtvAPIThing::dwTotalVirtual() const {
    return Kilobytes(system_.memoryStatus().totalVirtual);
}
std::uint32_t TtvAPIThing::dwAvailVirtual() const {
    return Kilobytes(system_.memoryStatus().availVirtual);
}

std::uint16_t TtvAPIThing::ProcessorArchitecture() const {
    return system_.processorInfo().processorArchitecture;
}
std::uint16_t TtvAPIThing::ProcessorLevel() const { return system_.processorInfo().processorLevel; }
std::uint16_t TtvAPIThing::ProcessorRevision() const {
    return system_.processorInfo().processorRevision;
}
std::uint32_t TtvAPIThing::PageSize() const { return system_.processorInfo().pageSize; }
std::uint32_t TtvAPIThing::ActiveProcessorMask() const {
    return static_cast<std::uint32_t>(system_.processorInfo().activeProcessorMask & 0xFFFFFFFFu);
}
std::uint32_t TtvAPIThing::NumberOfProcessors() const {
    return system_.processorInfo().numberOfProcessors;
}
std::uint32_t TtvAPIThing::ProcessorType() const { return system_.processorInfo().processorType; }
std::uint32_t TtvAPIThing::AllocationGranularity() const {
    return system_.processorInfo().allocationGranularity;
}

}  // namespace quenlo::sysinfo
