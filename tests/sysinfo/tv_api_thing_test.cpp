#include <gtest/gtest.h>

#include "sysinfo/TtvAPIThing.h"
#include "tests/freespace/FillFixture.h"

namespace quenlo::sysinfo {
namespace {

// The machine's own services, with the texts a test chooses.
class ChosenSystem : public platform::SystemServices {
public:
    std::string user = "alice";
    std::string host = "desk";
    std::optional<platform::OsVersionInfo> versionInfo;

    std::optional<std::string> userName(std::size_t capacity) override { return Fit(user, capacity); }
    std::optional<std::string> computerName(std::size_t capacity) override { return Fit(host, capacity); }
    std::optional<std::string> windowsDirectory(std::size_t c) override { return real().windowsDirectory(c); }
    std::optional<std::string> systemDirectory(std::size_t c) override { return real().systemDirectory(c); }
    std::optional<std::string> currentDirectory(std::size_t c) override { return real().currentDirectory(c); }
    std::optional<std::string> tempPath(std::size_t c) override { return real().tempPath(c); }
    platform::SystemTime systemTime() override { return real().systemTime(); }
    platform::SystemTime localTime() override { return real().localTime(); }
    std::optional<platform::OsVersionInfo> version() override { return versionInfo; }
    platform::MemoryStatus memoryStatus() override { return real().memoryStatus(); }
    platform::ProcessorInfo processorInfo() override { return real().processorInfo(); }

private:
    static platform::SystemServices& real() { return platform::systemServices(); }
    static std::optional<std::string> Fit(const std::string& text, std::size_t capacity) {
        if (platform::CharacterCount(text) + 1 > capacity) {
            return std::nullopt;
        }
        return text;
    }
};

TEST(TtvAPIThing, DrivesFromTheDriveMap) {
    TtvAPIThing thing;
    {
        test::DriveMap map("D=/nonexistent/card;C=/;A=/");
        EXPECT_EQ(thing.LogicalDrives(), "ACD");
        TVolumeInfo info;
        info.VolumeName = "stale";
        info.SerialNumber = 7;
        // A drive without its medium tells nothing.
        EXPECT_FALSE(thing.GetVolumeInfo('D', info));
        EXPECT_EQ(info.VolumeName, "");
        EXPECT_EQ(info.FileSystemName, "");
        EXPECT_EQ(info.SerialNumber, 0u);
        EXPECT_EQ(info.MaxComponentLength, 0u);
        EXPECT_EQ(info.FileSystemFlags, 0u);
        EXPECT_TRUE(thing.GetVolumeInfo('C', info));
        EXPECT_FALSE(info.FileSystemName.empty());
        EXPECT_GT(info.MaxComponentLength, 0u);
    }
    test::DriveMap none("");
    EXPECT_EQ(thing.LogicalDrives(), "");
}

TEST(TtvAPIThing, BufferLimitsOfTheNames) {
    ChosenSystem system;
    TtvAPIThing thing(system);
    const std::vector<std::tuple<std::string, std::string, bool, bool>> cases = {
        // user, host, user fits, host fits
        {std::string(20, 'u'), std::string(15, 'h'), true, true},
        {std::string(21, 'u'), std::string(16, 'h'), false, false},
        {"j\xC3\xBCrgen" + std::string(14, 'x'), "h", true, true},  // 20 characters, 21 bytes
    };
    for (const auto& [user, host, userFits, hostFits] : cases) {
        system.user = user;
        system.host = host;
        EXPECT_EQ(thing.UserName(), userFits ? user : "") << user;
        EXPECT_EQ(thing.ComputerName(), hostFits ? host : "") << host;
    }
}

TEST(TtvAPIThing, VersionText) {
    EXPECT_EQ(VersionText({6, 1, 7601, 2, "Service Pack 1"}),
              "Windows NT Version 6.1\r\n (Build 7601: Service Pack 1)");
    EXPECT_EQ(VersionText({4, 10, 1998, 1, ""}), "Windows 95 Version 4.10\r\n (Build 1998: )");
    EXPECT_EQ(VersionText({6, 18, 44, platform::kPlatformLinux, "#1 SMP"}),
              " Version 6.18\r\n (Build 44: #1 SMP)");
    ChosenSystem system;
    TtvAPIThing thing(system);
    EXPECT_EQ(thing.OSVersion(), "") << "no version record";
    EXPECT_EQ(TtvAPIThing().OSVersion().rfind(" Version ", 0), 0u) << "this machine is Linux";
}

TEST(TtvAPIThing, DateTimeTextDropsTheTimeAtMidnight) {
    const platform::SystemTime midnight{2026, 12, 4, 10, 0, 0, 0, 0};
    const platform::SystemTime later{2026, 12, 4, 10, 0, 0, 0, 1};
    const std::string date = DateTimeText(midnight);
    EXPECT_FALSE(date.empty());
    EXPECT_EQ(date.find(':'), std::string::npos);
    const std::string withTime = DateTimeText(later);
    EXPECT_EQ(withTime.rfind(date + " ", 0), 0u) << withTime;
    EXPECT_GT(withTime.size(), date.size() + 1);
}

TEST(TtvAPIThing, MachineFactsAreSensible) {
    TtvAPIThing thing;
    EXPECT_GT(thing.dwTotalPhys(), 0u);
    EXPECT_LE(thing.dwAvailPhys(), thing.dwTotalPhys());
    EXPECT_LE(thing.dwMemoryLoad(), 100u);
    EXPECT_GT(thing.NumberOfProcessors(), 0u);
    EXPECT_NE(thing.ActiveProcessorMask(), 0u);
    EXPECT_GE(thing.PageSize(), 4096u);
    EXPECT_EQ(thing.TempPath().back(), '/');
    EXPECT_FALSE(thing.CurrentDirectory().empty());
    EXPECT_FALSE(thing.LocalTime().empty());
}

}  // namespace
}  // namespace quenlo::sysinfo
