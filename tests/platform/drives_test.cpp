#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Drives.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::platform {
namespace {

class DrivesTest : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("QUENLO_DRIVES"); }
};

TEST_F(DrivesTest, OverrideReplacesTheMap) {
    test::TempDir dir;
    const std::string value = "E=" + (dir / "stick").string() + ":removable;C=/;x=/nope";
    ::setenv("QUENLO_DRIVES", value.c_str(), 1);
    const auto drives = Drives();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[1].letter, 'E');
    EXPECT_EQ(drives[1].root, dir / "stick");
    EXPECT_EQ(drives[2].letter, 'X');
    EXPECT_EQ(GetLogicalDrives(), (1u << 2) | (1u << 4) | (1u << 23));
    EXPECT_EQ(GetDriveType('e'), DriveType::Removable);
    EXPECT_EQ(GetDriveType('C'), DriveType::Fixed);
    EXPECT_EQ(GetDriveType('Q'), DriveType::NoRootDir);
    ::setenv("QUENLO_DRIVES", "D=/media/cd:cdrom;N=/net/share:remote;R=/dev/shm:ramdisk", 1);
    EXPECT_EQ(GetDriveType('D'), DriveType::CdRom);
    EXPECT_EQ(GetDriveType('N'), DriveType::Remote);
    EXPECT_EQ(GetDriveType('R'), DriveType::RamDisk);
    EXPECT_EQ(DriveRootPath('D'), std::filesystem::path("/media/cd"));
    EXPECT_FALSE(GetVolumeInformation('Q').has_value());
}

TEST_F(DrivesTest, SystemMapStartsWithTheRootAsC) {
    const auto drives = Drives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[0].root, "/");
    EXPECT_LE(drives.size(), 24u);
}

TEST_F(DrivesTest, VolumeAndFreeSpaceOfAMountedImage) {
    test::LoopMount mount("ext4", 32);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    ASSERT_TRUE(mount.unmount());
    ASSERT_TRUE(test::Run("tune2fs -L QNTEST -U 1234abcd-0000-4000-8000-000000000001 " +
                          test::Quote(mount.image()) + " >/dev/null 2>&1"));
    ASSERT_TRUE(mount.remount());
    const std::string value = "C=/;F=" + mount.root().string() + ";G=/nonexistent/card";
    ::setenv("QUENLO_DRIVES", value.c_str(), 1);
    const auto info = GetVolumeInformation('F');
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->fileSystemName, "ext4");
    EXPECT_EQ(info->label, "QNTEST");
    EXPECT_EQ(info->serialNumber, 0x1234abcdu);
    // A drive whose medium is missing tells nothing.
    EXPECT_FALSE(GetVolumeInformation('G').has_value());
    EXPECT_EQ(info->maximumComponentLength, 255u);
    const auto space = GetDiskFreeSpaceEx('F');
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->total, 20u << 20);
    EXPECT_LE(space->free, space->total);
    EXPECT_EQ(space->freeToCaller, space->free);  // root may write the reserved blocks
    test::WriteAll(mount.root() / "eight-mib", std::string(8u << 20, 'x'));
    test::Run("sync");
    const auto after = GetDiskFreeSpaceEx('F');
    ASSERT_TRUE(after.has_value());
    EXPECT_LT(after->free + (7u << 20), space->free);
}

}  // namespace
}  // namespace quenlo::platform
