#pragma once

// Answers questions about the machine: the drives present, a drive's volume
// information and a set of system facts. Every answer is computed afresh on
// each read; the component keeps nothing of its own.

#include <cstdint>
#include <string>

#include "platform/SystemInfo.h"

namespace quenlo::sysinfo {

struct TVolumeInfo {
    std::string VolumeName;
    std::uint32_t SerialNumber = 0;
    std::uint32_t MaxComponentLength = 0;
    std::uint32_t FileSystemFlags = 0;
    std::string FileSystemName;
};

// The text buffers handed to the system, in characters with the NUL.
inline constexpr std::size_t kUserNameBuffer = 21;
inline constexpr std::size_t kComputerNameBuffer = 16;
inline constexpr std::size_t kPathBuffer = 261;

// The date-time text: the locale's short date, a blank and its long time;
// at exactly midnight only the date.
std::string DateTimeText(const platform::SystemTime& time);

// "Win32s" / "Windows 95" / "Windows NT" (or nothing for another platform),
// " Version ", major, ".", minor, "\r\n (Build ", build, ": ", the
// service-pack text, ")".
std::string VersionText(const platform::OsVersionInfo& version);

class TtvAPIThing {
public:
    explicit TtvAPIThing(platform::SystemServices& system = platform::systemServices())
        : system_(system) {}

    // GetVolumeInformationW on "L:\"; empty strings and zeros when the call
    // fails (no such drive, no medium). Returns whether it succeeded.
    bool GetVolumeInfo(char letter, TVolumeInfo& info) const;

    // The letters of the drives present, in order ("ACD").
    std::string LogicalDrives() const;

    std::string UserName() const;
    std::string ComputerName() const;
    std::string WindowsDirectory() const;
    std::string SystemDirectory() const;
    std::string SystemTime() const;
    std::string LocalTime() const;
    std::string CurrentDirectory() const;
    std::string TempPath() const;
    std::string OSVersion() const;

    // Memory in KB (bytes shifted right by 10, at most 0xFFFFFFFF); load in percent.
    std::uint32_t dwMemoryLoad() const;
    std::uint32_t dwTotalPhys() const;
    std::uint32_t dwAvailPhys() const;
    std::uint32_t dwTotalPageFile() const;
    std::uint32_t dwAvailPageFile() const;
    std::uint32_t dwTotalVirtual() const;
    std::uint32_t dwAvailVirtual() const;

    std::uint16_t ProcessorArchitecture() const;
    std::uint16_t ProcessorLevel() const;
    std::uint16_t ProcessorRevision() const;
    std::uint32_t PageSize() const;
    std::uint32_t ActiveProcessorMask() const;
    std::uint32_t NumberOfProcessors() const;
    std::uint32_t ProcessorType() const;
    std::uint32_t AllocationGranularity() const;

private:
    platform::SystemServices& system_;
};

}  // namespace quenlo::sysinfo
