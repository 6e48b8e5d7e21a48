// Deletes a file plainly on a real file system, checks that its content is
// still on the raw device, wipes the free space and reads the device again:
// the remains must be gone.

#include <gtest/gtest.h>

#include <fstream>

#include "freespace/DiskWiper.h"
#include "tests/freespace/FillFixture.h"
#include "tests/support/FakeWipeWindow.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::freespace {
namespace {

TEST(ForensicFill, RemainsOfADeletedFileAreOverwritten) {
    test::LoopMount mount("ext4", 24);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    const std::string marker = "<<quenlo-deleted-remains-51c2e8>>";
    std::string content;
    while (content.size() < 400'000) {
        content += marker;
    }
    const auto file = mount.root() / "deleted-long-ago.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << content;
    }
    ASSERT_TRUE(test::Run("sync"));
    std::filesystem::remove(file);  // a plain delete: the blocks keep the data
    ASSERT_TRUE(test::Run("sync"));
    ASSERT_TRUE(mount.unmount());
    ASSERT_GT(test::CountInFile(mount.image(), marker), 0u) << "the control: remains are on the device";
    ASSERT_TRUE(mount.remount());
    // ext4 withholds a pool of clusters from every writer, root included (a
    // reserve for metadata under delayed allocation: 2 % of the blocks, at
    // most 4096 clusters). No fill through the file system can reach those
    // blocks (without this the image keeps a block or two of the marker);
    // release the pool so that the test measures the fill and not the reserve.
    ASSERT_TRUE(test::Run("echo 0 > /sys/fs/ext4/$(basename $(findmnt -n -o SOURCE " +
                          test::Quote(mount.root()) + "))/reserved_clusters"));

    test::DriveMap map("E=" + mount.root().string());
    test::TempDir store;
    auto registry = platform::openRegistryStore(store / "registry.sqlite3");
    DiskWiperServices services;
    services.registry = registry.get();
    services.sleep = [](std::chrono::milliseconds) {};
    test::FakeWindowThread thread;
    test::RecordingWipeWindow window(thread);
    TDiskWiper::Start("E", 0, window, thread, services);
    ASSERT_TRUE(window.waitForEnd());
    EXPECT_EQ(window.logLines().back(), "0 Wipe finshed.");
    EXPECT_FALSE(std::filesystem::exists(mount.root() / "$clean_tmp"));

    ASSERT_TRUE(mount.unmount());
    EXPECT_EQ(test::CountInFile(mount.image(), marker), 0u);
}

}  // namespace
}  // namespace quenlo::freespace
