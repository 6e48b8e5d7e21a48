// Shreds a file on a real file system and then reads the raw device image:
// the file's content must be gone from every block, not just from the file.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"
#include "wipe/ShredFile.h"
#include "wipe/ShredState.h"

namespace quenlo::wipe {
namespace {

TEST(Forensic, ShreddedContentIsNotOnTheDevice) {
    for (std::int32_t method = 0; method < kWipeMethodCount; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        test::LoopMount mount("ext4", 32);
        if (!mount.mounted()) {
            GTEST_SKIP() << mount.whyNot();
        }
        const std::string marker = "<<quenlo-marker-" + std::to_string(method) + "-7f3a9c>>";
        std::string content;
        while (content.size() < 300'000) {
            content += marker;
        }
        const auto file = mount.root() / "secret.txt";
        {
            std::ofstream out(file, std::ios::binary);
            out << content;
        }
        ASSERT_TRUE(test::Run("sync"));
        // The control: before shredding the marker really is on the device.
        ASSERT_TRUE(mount.unmount());
        ASSERT_GT(test::CountInFile(mount.image(), marker), 0u);
        ASSERT_TRUE(mount.remount());

        ShredMethod = method;
        ShredRepeatCount = 1;
        ShredCancelled = false;
        ASSERT_TRUE(ShredFile(file));
        ASSERT_FALSE(std::filesystem::exists(file));

        ASSERT_TRUE(mount.unmount());
        EXPECT_EQ(test::CountInFile(mount.image(), marker), 0u);
    }
}

}  // namespace
}  // namespace quenlo::wipe
