#include <pwd.h>
#include <sched.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/SystemInfo.h"

namespace quenlo::platform {
namespace {

// What a buffer of `capacity` characters can take: the text and its NUL.
std::optional<std::string> Fitting(std::string text, std::size_t capacity) {
    if (CharacterCount(text) + 1 > capacity) {
        return std::nullopt;
    }
    return text;
}

SystemTime FromTimespec(const timespec& now, bool local) {
    std::tm parts{};
    if (local) {
        ::localtime_r(&now.tv_sec, &parts);
    } else {
        ::gmtime_r(&now.tv_sec, &parts);
    }
    SystemTime time;
    time.year = static_cast<std::uint16_t>(parts.tm_year + 1900);
    time.month = static_cast<std::uint16_t>(parts.tm_mon + 1);
    time.dayOfWeek = static_cast<std::uint16_t>(parts.tm_wday);
    time.day = static_cast<std::uint16_t>(parts.tm_mday);
    time.hour = static_cast<std::uint16_t>(parts.tm_hour);
    time.minute = static_cast<std::uint16_t>(parts.tm_min);
    time.second = static_cast<std::uint16_t>(parts.tm_sec);
    time.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1'000'000);
    return time;
}

// "cpu family" and the like from /proc/cpuinfo's first processor.
std::optional<unsigned long> CpuInfoField(const std::string& name) {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            break;  // the first processor's block ends here
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, colon);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) {
            key.pop_back();
        }
        if (key == name) {
            try {
                return std::stoul(line.substr(colon + 1), nullptr, 0);
            } catch (...) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

class LinuxSystemServices final : public SystemServices {
public:
    std::optional<std::string> userName(std::size_t capacity) override {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
            found == nullptr) {
            return std::nullopt;
        }
        return Fitting(found->pw_name, capacity);
    }

    std::optional<std::string> computerName(std::size_t capacity) override {
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) != 0) {
            return std::nullopt;
        }
        return Fitting(name, capacity);
    }

    std::optional<std::string> windowsDirectory(std::size_t capacity) override {
        return Fitting("/usr", capacity);
    }

    std::optional<std::string> systemDirectory(std::size_t capacity) override {
        return Fitting("/usr/lib", capacity);
    }

    std::optional<std::string> currentDirectory(std::size_t capacity) override {
        char* path = ::getcwd(nullptr, 0);
        if (path == nullptr) {
            return std::nullopt;
        }
        std::string text(path);
        std::free(path);
        return Fitting(text, capacity);
    }

    std::optional<std::string> tempPath(std::size_t capacity) override {
        // GetTempPathW looks at TMP and TEMP; the POSIX variable is TMPDIR.
        std::string path = "/tmp";
        if (const char* value = std::getenv("TMPDIR"); value != nullptr && *value != '\0') {
            path = value;
        }
        if (path.back() != '/') {
            path += '/';
        }
        return Fitting(path, capacity);
    }

    SystemTime systemTime() override {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return FromTimespec(now, false);
    }

    SystemTime localTime() override {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return FromTimespec(now, true);
    }

    std::optional<OsVersionInfo> version() override {
        utsname names{};
        if (::uname(&names) != 0) {
            return std::nullopt;
        }
        OsVersionInfo info;
        info.platformId = kPlatformLinux;
        unsigned major = 0, minor = 0, patch = 0;
        std::istringstream release(names.release);
        char dot = 0;
        release >> major >> dot >> minor >> dot >> patch;
        info.majorVersion = major;
        info.minorVersion = minor;
        info.buildNumber = patch;
        info.servicePack = std::string(names.version).substr(0, 127);
        return info;
    }

    MemoryStatus memoryStatus() override {
        MemoryStatus status;
        struct sysinfo info {};
        if (::sysinfo(&info) != 0) {
            return status;
        }
        const std::uint64_t unit = info.mem_unit;
        status.totalPhys = info.totalram * unit;
        // Free memory plus what the kernel can drop at once (its page cache
        // and buffers), as Windows counts standby memory as available.
        std::uint64_t available = (info.freeram + info.bufferram) * unit;
        std::ifstream meminfo("/proc/meminfo");
        std::string key;
        std::uint64_t kilobytes = 0;
        std::string suffix;
        while (meminfo >> key >> kilobytes >> suffix) {
            if (key == "MemAvailable:") {
                available = kilobytes * 1024;
                break;
            }
        }
        status.availPhys = available;
        status.totalPageFile = info.totalswap * unit;
        status.availPageFile = info.freeswap * unit;
        if (status.totalPhys > 0) {
            status.memoryLoad = static_cast<std::uint32_t>(
                (status.totalPhys - std::min(status.availPhys, status.totalPhys)) * 100 /
                status.totalPhys);
        }
        // The user part of the address space: 47 bits on x86-64 and ARM64.
        status.totalVirtual = (std::uint64_t{1} << 47) - 0x10000;
        std::ifstream statm("/proc/self/statm");
        std::uint64_t pages = 0;
        const auto pageSize = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
        if (statm >> pages) {
            status.availVirtual = status.totalVirtual - std::min(status.totalVirtual, pages * pageSize);
        }
        return status;
    }

    ProcessorInfo processorInfo() override {
        ProcessorInfo info;
        info.pageSize = static_cast<std::uint32_t>(::sysconf(_SC_PAGESIZE));
        // mmap places mappings at page granularity.
        info.allocationGranularity = info.pageSize;
        info.numberOfProcessors = static_cast<std::uint32_t>(::sysconf(_SC_NPROCESSORS_ONLN));
        cpu_set_t set;
        CPU_ZERO(&set);
        if (::sched_getaffinity(0, sizeof set, &set) == 0) {
            for (unsigned cpu = 0; cpu < 64; ++cpu) {
                if (CPU_ISSET(cpu, &set)) {
                    info.activeProcessorMask |= std::uint64_t{1} << cpu;
                }
            }
        }
        utsname names{};
        const std::string machine = ::uname(&names) == 0 ? names.machine : "";
        if (machine == "x86_64") {
            info.processorArchitecture = 9;
            info.processorType = 8664;
        } else if (machine == "aarch64") {
            info.processorArchitecture = 12;
        } else if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") {
            info.processorArchitecture = 0;
            info.processorType = 586;
        } else if (machine.rfind("arm", 0) == 0) {
            info.processorArchitecture = 5;
        } else {
            info.processorArchitecture = 0xFFFF;  // PROCESSOR_ARCHITECTURE_UNKNOWN
        }
        // x86: the family is the level, model and stepping make the revision.
        const auto family = CpuInfoField("cpu family");
        const auto model = CpuInfoField("model");
        const auto stepping = CpuInfoField("stepping");
        if (family) {
            info.processorLevel = static_cast<std::uint16_t>(*family);
        }
        if (model && stepping) {
            info.processorRevision = static_cast<std::uint16_t>(((*model & 0xFF) << 8) | (*stepping & 0xFF));
        }
        return info;
    }
};

}  // namespace

std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

SystemServices& systemServices() {
    static LinuxSystemServices services;
    return services;
}

}  // namespace quenlo::platform
