#include <gtest/gtest.h>

#include <cstring>

#include "app/FileVersion.h"
#include "platform/FileVersion.h"
#include "platform/Process.h"
#include "tests/support/TempDir.h"

namespace quenlo {
namespace {

// This test program carries the version record as the program does.
TEST(FileVersion, ReadBackFromTheRunningExecutable) {
    const auto info = platform::ReadFixedFileVersion(platform::executablePath());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->dwFileType, platform::kFileTypeApplication);
    EXPECT_EQ(app::FileVersionText(info), "2.5.5.57");
    EXPECT_EQ(app::RunningFileVersionText(), "2.5.5.57");
    EXPECT_EQ(app::UpdatePageAddress(app::RunningFileVersionText()),
              "https://www.quenlo.app/quenlo_update.php?sversion=2.5.5.57");
}

TEST(FileVersion, HalvesOfTheVersionWordsInOrder) {
    platform::FixedFileInfo info{};
    info.dwFileVersionMS = 0xFFFF0001u;
    info.dwFileVersionLS = 0x00020000u;
    EXPECT_EQ(app::FileVersionText(info), "65535.1.2.0");
}

TEST(FileVersion, WithoutARecordTheAddressEndsAtTheParameter) {
    test::TempDir dir;
    test::WriteAll(dir / "text", "not an executable at all");
    // The helper executable links no version record.
    for (const std::filesystem::path& file :
         {std::filesystem::path(QNSHELL_EXECUTABLE), dir / "text", dir / "missing"}) {
        SCOPED_TRACE(file.string());
        EXPECT_FALSE(platform::ReadFixedFileVersion(file).has_value());
    }
    EXPECT_EQ(app::UpdatePageAddress(app::FileVersionText(std::nullopt)),
              "https://www.quenlo.app/quenlo_update.php?sversion=");
}

TEST(FileVersion, ARecordWithAWrongSignatureIsNone) {
    test::TempDir dir;
    std::string image = test::ReadAll(platform::executablePath());
    const std::uint32_t head[] = {platform::kFixedFileInfoSignature,
                                  platform::kFixedFileInfoStrucVersion, 0x00020005u, 0x00050039u};
    // Every copy of the record's head (this test's own pattern included).
    const std::string pattern(reinterpret_cast<const char*>(head), sizeof head);
    int damaged = 0;
    for (auto at = image.find(pattern); at != std::string::npos; at = image.find(pattern, at)) {
        image[at] = '\0';
        ++damaged;
    }
    ASSERT_GT(damaged, 0);
    test::WriteAll(dir / "damaged", image);
    EXPECT_FALSE(platform::ReadFixedFileVersion(dir / "damaged").has_value());
}

}  // namespace
}  // namespace quenlo
