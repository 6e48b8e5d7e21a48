#pragma once

// System facts, shaped after GetUserNameW, GetComputerNameW,
// GetWindowsDirectoryW, GetSystemDirectoryW, GetSystemTime, GetLocalTime,
// GetCurrentDirectoryW, GetTempPathW, GetVersionExW, GlobalMemoryStatus and
// GetSystemInfo. Calls that fill a text buffer take its capacity in
// characters, the terminating NUL included, and fail, as on Windows, when
// the text does not fit.
//
// Linux stand-ins: the Windows folder is /usr (where the system is
// installed), the system folder /usr/lib; the page file is swap; the
// platform id is kPlatformLinux, the version the kernel's major.minor, the
// build its patch level and the service-pack text the kernel's build text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quenlo::platform {

// SYSTEMTIME.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;  // 1..12
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// OSVERSIONINFOW: platform 0 Win32s, 1 Windows 95, 2 Windows NT.
inline constexpr std::uint32_t kPlatformLinux = 0x4C;
struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string servicePack;  // szCSDVersion, at most 127 characters
};

// MEMORYSTATUS, in bytes.
struct MemoryStatus {
    std::uint32_t memoryLoad = 0;  // percent
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

// SYSTEM_INFO, with the Windows codes (architecture 9 = AMD64, 12 = ARM64,
// 0 = x86, 5 = ARM; processor type 8664, 586, ...).
struct ProcessorInfo {
    std::uint16_t processorArchitecture = 0;
    std::uint16_t processorLevel = 0;
    std::uint16_t processorRevision = 0;
    std::uint32_t pageSize = 0;
    std::uint64_t activeProcessorMask = 0;
    std::uint32_t numberOfProcessors = 0;
    std::uint32_t processorType = 0;
    std::uint32_t allocationGranularity = 0;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;
    virtual std::optional<std::string> userName(std::size_t capacity) = 0;
    virtual std::optional<std::string> computerName(std::size_t capacity) = 0;
    virtual std::optional<std::string> windowsDirectory(std::size_t capacity) = 0;
    virtual std::optional<std::string> systemDirectory(std::size_t capacity) = 0;
    virtual std::optional<std::string> currentDirectory(std::size_t capacity) = 0;
    // With its trailing separator.
    virtual std::optional<std::string> tempPath(std::size_t capacity) = 0;
    virtual SystemTime systemTime() = 0;  // UTC
    virtual SystemTime localTime() = 0;
    virtual std::optional<OsVersionInfo> version() = 0;
    virtual MemoryStatus memoryStatus() = 0;
    virtual ProcessorInfo processorInfo() = 0;
};

// The machine's own.
SystemServices& systemServices();

// The length of a text in characters (code points of its UTF-8 form), as
// the buffer capacities count them.
std::size_t CharacterCount(const std::string& text);

}  // namespace quenlo::platform
