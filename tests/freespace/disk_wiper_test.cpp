#include <gtest/gtest.h>

#include <fstream>

#include "freespace/DiskWiper.h"
#include "freespace/WipeEstimate.h"
#include "wipe/WipeMethods.h"
#include "tests/freespace/FillFixture.h"
#include "tests/support/FakeWipeWindow.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::freespace {
namespace {

namespace fs = std::filesystem;

// Two small drives E and F, a private registry, no pause between drives.
class DiskWiperTest : public ::testing::Test {
protected:
    void SetUp() override {
        e_ = std::make_unique<test::LoopMount>("tmpfs", 2);
        f_ = std::make_unique<test::LoopMount>("tmpfs", 2);
        if (!e_->mounted() || !f_->mounted()) {
            GTEST_SKIP() << e_->whyNot();
        }
        map_ = std::make_unique<test::DriveMap>("E=" + e_->root().string() + ";F=" +
                                                f_->root().string());
        registry_ = platform::openRegistryStore(store_ / "registry.sqlite3");
        services_.registry = registry_.get();
        services_.fill.fileSizeLimit = 512 * 1024;
        services_.sleep = [](std::chrono::milliseconds) {};
    }

    std::optional<std::uint32_t> Policy() {
        return registry_->openKey(kPolicyKey)->readDword(kPolicyValue);
    }

    void Run(const std::string& drives, int method = 0) {
        TDiskWiper::Start(drives, method, window_, thread_, services_);
        ASSERT_TRUE(window_.waitForEnd());
        EXPECT_EQ(window_.wrongThreadCalls(), 0);
    }

    std::vector<std::string> Flushes(std::size_t count) {
        return std::vector<std::string>(count, "0 Flushing disk buffers");
    }

    std::unique_ptr<test::LoopMount> e_, f_;
    std::unique_ptr<test::DriveMap> map_;
    test::TempDir store_;
    std::unique_ptr<platform::Registry> registry_;
    DiskWiperServices services_;
    test::FakeWindowThread thread_;
    test::RecordingWipeWindow window_{thread_};
};

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

TEST_F(DiskWiperTest, RunOverTwoDrivesLogsPolicyAndProgress) {
    registry_->openKey(kPolicyKey)->writeDword(kPolicyValue, 7);  // whatever was there before
    std::vector<std::optional<std::uint32_t>> policyAtStart;
    window_.onEvent = [&](const std::string& event) {
        if (event.rfind("caption DRIVE", 0) == 0) {
            policyAtStart.push_back(Policy());
        }
    };
    Run("EF");

    const auto lines = window_.logLines();
    // 2 MiB in files of 512 KiB + 1 KiB: four full files and a last one.
    const std::size_t flushesE = Count(lines, "0 Flushing disk buffers");
    ASSERT_GE(flushesE, 8u);
    std::vector<std::string> expected = {"0 Start Wiping disk E:\\"};
    auto flushes = Flushes(flushesE / 2);
    expected.insert(expected.end(), flushes.begin(), flushes.end());
    expected.push_back("0 Disk wiped E:\\");
    expected.push_back("0 Start Wiping disk F:\\");
    expected.insert(expected.end(), flushes.begin(), flushes.end());
    expected.push_back("0 Disk wiped F:\\");
    expected.push_back("0 Wipe finshed.");
    EXPECT_EQ(lines, expected);

    EXPECT_EQ(policyAtStart, (std::vector<std::optional<std::uint32_t>>{1u, 0u}));
    EXPECT_FALSE(Policy().has_value()) << "deleted at the end of the run";

    const auto events = window_.events();
    // The caption names the disk while it is cleared and the drive once filled.
    const auto diskE = std::find(events.begin(), events.end(), "caption DISK E");
    const auto driveE = std::find(events.begin(), events.end(), "caption DRIVE E:");
    ASSERT_NE(diskE, events.end());
    ASSERT_NE(driveE, events.end());
    EXPECT_LT(diskE, driveE);
    // Running state at the fill's start, idle with a full bar after each drive.
    const std::vector<std::string> started = {"running 1", "start 0", "stop 1", "time start", "back 0"};
    EXPECT_TRUE(std::search(events.begin(), events.end(), started.begin(), started.end()) != events.end());
    const std::vector<std::string> finished = {"stop 0",    "start 1",     "time stop", "back 1",
                                               "running 0", "range 0 100", "position 100"};
    std::size_t finishes = 0;
    for (auto it = events.begin();
         (it = std::search(it, events.end(), finished.begin(), finished.end())) != events.end(); ++it) {
        ++finishes;
    }
    EXPECT_EQ(finishes, 2u);
    EXPECT_EQ(events.back(), "ended");
    EXPECT_FALSE(fs::exists(e_->root() / "$clean_tmp"));
    EXPECT_FALSE(fs::exists(f_->root() / "$clean_tmp"));
}

TEST_F(DiskWiperTest, StopEndsEachRemainingDriveAtItsFirstTick) {
    window_.onEvent = [&](const std::string& event) {
        if (event == "caption DRIVE E:") {
            window_.stopRequested = true;
        }
    };
    Run("EF", 2);
    EXPECT_EQ(window_.logLines(),
              (std::vector<std::string>{"0 Start Wiping disk E:\\", "1 Wipe cancelled by user",
                                        "0 Flushing disk buffers", "0 Disk wiped E:\\",
                                        "0 Start Wiping disk F:\\", "1 Wipe cancelled by user",
                                        "0 Flushing disk buffers", "0 Disk wiped F:\\",
                                        "0 Wipe finshed."}));
    const auto events = window_.events();
    // A stopped drive's bar goes back to 0.
    const std::vector<std::string> stopped = {"running 0", "position 0"};
    EXPECT_TRUE(std::search(events.begin(), events.end(), stopped.begin(), stopped.end()) != events.end());
    EXPECT_EQ(std::count(events.begin(), events.end(), "position 100"), 0);
    EXPECT_FALSE(fs::exists(e_->root() / "$clean_tmp"));
}

TEST_F(DiskWiperTest, DriveWithoutRoomNeverShowsTheRunningState) {
    services_.fill.freeSpace = [](char) {
        return std::optional<platform::DiskFreeSpace>({100, 1 << 20, 100});
    };
    Run("E");
    EXPECT_EQ(window_.logLines(), (std::vector<std::string>{"0 Start Wiping disk E:\\",
                                                            "0 Disk wiped E:\\", "0 Wipe finshed."}));
    const auto events = window_.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "running 1"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "position 100"), 1);
}

TEST_F(DiskWiperTest, ReadOnlyDriveFinishesWithNothingLeft) {
    ASSERT_TRUE(e_->setReadOnly(true));
    Run("EF");
    const auto lines = window_.logLines();
    EXPECT_EQ(lines.back(), "0 Wipe finshed.");
    // The drive that could not be written is said to be so, the other is not.
    const std::string incomplete =
        "1 Free space not wiped completely on E:\\: the temporary folder $clean_tmp cannot be made";
    EXPECT_EQ(Count(lines, incomplete), 1u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("1 ", 0) == 0; }),
              1);
    EXPECT_FALSE(fs::exists(e_->root() / "$clean_tmp"));
    EXPECT_FALSE(fs::exists(f_->root() / "$clean_tmp"));
    EXPECT_FALSE(Policy().has_value());
}

TEST_F(DiskWiperTest, FolderOfAKilledRunIsRemovedBeforeTheFill) {
    // What a run killed mid-fill leaves: "$clean_tmp" holding the whole
    // free space.
    const fs::path folder = e_->root() / "$clean_tmp";
    fs::create_directory(folder);
    {
        std::ofstream out(folder / "tmp0001", std::ios::binary);
        const std::string block(1 << 16, 'L');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
    }
    int filesAtStart = -1;
    window_.onEvent = [&](const std::string& event) {
        if (event == "caption DRIVE E:") {
            filesAtStart = static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
        }
    };
    Run("E");
    EXPECT_EQ(filesAtStart, 0) << "the fill started on an emptied folder";
    EXPECT_GE(Count(window_.logLines(), "0 Flushing disk buffers"), 4u) << "and filled the drive";
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(DiskWiperTest, ErrorEscapingTheRunReturnsTheWindowToIdle) {
    registry_->openKey(kPolicyKey)->writeDword(kPolicyValue, 1);
    int measurements = 0;
    services_.fill.freeSpace = [&](char letter) -> std::optional<platform::DiskFreeSpace> {
        if (++measurements > 3) {
            throw std::runtime_error("device vanished");
        }
        return platform::GetDiskFreeSpaceEx(letter);
    };
    Run("E");
    const auto lines = window_.logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "1 Wipe stopped by an error: device vanished");
    const auto events = window_.events();
    const std::vector<std::string> idle = {"stop 0", "start 1", "time stop", "back 1", "running 0"};
    EXPECT_TRUE(std::search(events.begin(), events.end(), idle.begin(), idle.end()) != events.end());
    EXPECT_EQ(events.back(), "ended");
    EXPECT_FALSE(Policy().has_value());
    EXPECT_FALSE(fs::exists(e_->root() / "$clean_tmp"));
}

TEST(DiskWiperStart, RefusesAMethodOutOfRange) {
    test::FakeWindowThread thread;
    test::RecordingWipeWindow window(thread);
    EXPECT_THROW(TDiskWiper::Start("E", 5, window, thread), std::invalid_argument);
    EXPECT_EQ(TDiskWiper::RunningThreads(), 0);
}

TEST_F(DiskWiperTest, FinishedFillsLeaveTheirRateForTheNextEstimate) {
    Run("E", wipe::wmGutmann);  // 35 passes over 2 MiB: enough to measure
    const auto rate = StoredWriteRate(*registry_);
    ASSERT_TRUE(rate.has_value());
    EXPECT_GT(*rate, 1 << 20);
}

}  // namespace
}  // namespace quenlo::freespace
