#include <gtest/gtest.h>

#include "freespace/FreeSpaceFill.h"
#include "freespace/WipeEstimate.h"
#include "tests/support/TempDir.h"

namespace quenlo::freespace {
namespace {

namespace fs = std::filesystem;

TEST(WipeEstimate, Texts) {
    EXPECT_EQ(SizeText(512), "512 bytes");
    EXPECT_EQ(SizeText(1536), "1.5 KB");
    EXPECT_EQ(SizeText((std::uint64_t{12} << 30) + (std::uint64_t{410} << 20)), "12.4 GB");
    EXPECT_EQ(SizeText(std::uint64_t{500} << 30), "500 GB");
    EXPECT_EQ(DurationText(20), "less than a minute");
    EXPECT_EQ(DurationText(60), "about 1 minute");
    EXPECT_EQ(DurationText(25 * 60), "about 25 minutes");
    EXPECT_EQ(DurationText(3 * 3600 + 10 * 60), "about 3 hours 10 minutes");
    EXPECT_EQ(DurationText(2 * 86400 + 4 * 3600), "about 2 days 4 hours");
    EXPECT_EQ(DurationText(86400), "about 1 day");
    // 35 passes over 10 GiB at 100 MiB/s: 3584 s.
    EXPECT_EQ(EstimateText(std::uint64_t{10} << 30, 35, 100.0 * (1 << 20)),
              "Free space to wipe: 10.0 GB. With 35 passes this takes about 1 hour.");
    EXPECT_EQ(EstimateText(std::uint64_t{10} << 30, 3, 100.0 * (1 << 20)),
              "Free space to wipe: 10.0 GB. With 3 passes this takes about 5 minutes.");
    EXPECT_EQ(EstimateText(1 << 20, 1, std::nullopt),
              "Free space to wipe: 1.0 MB. With 1 pass the time it takes is not known yet.");
}

TEST(WipeEstimate, PassCountsOfTheFills) {
    const int expected[] = {1, 2, 3, 8, 35};
    for (std::int32_t method = 0; method < 5; ++method) {
        EXPECT_EQ(FillPassCount(method), expected[method]) << method;
    }
    EXPECT_EQ(FillPassCount(5), 0);
}

TEST(WipeEstimate, RateOfEarlierFillsIsKept) {
    test::TempDir dir;
    auto registry = platform::openRegistryStore(dir / "r.sqlite3");
    EXPECT_FALSE(StoredWriteRate(*registry).has_value());
    RecordWriteRate(*registry, kMinimumRecordedBytes - 1, 1000);  // too short to say much
    RecordWriteRate(*registry, std::uint64_t{1} << 30, 0);
    EXPECT_FALSE(StoredWriteRate(*registry).has_value());
    RecordWriteRate(*registry, std::uint64_t{1} << 30, 4000);  // 256 MiB/s
    EXPECT_DOUBLE_EQ(*StoredWriteRate(*registry), 256.0 * (1 << 20));
}

// Ten milliseconds pass between any two readings.
class StepClock : public platform::Clock {
public:
    std::uint32_t tickCount() override { return now_ += 10; }
    bool performanceCounter(std::int64_t&) override { return false; }

private:
    std::uint32_t now_ = 0xFFFFFFF0u;  // wraps during the measurement
};

class MeasuredWrite : public ::testing::Test {
protected:
    FillServices Services() {
        FillServices services;
        services.clock = &clock;
        services.rootPath = [this](char) { return std::optional<fs::path>(dir.path()); };
        return services;
    }
    test::TempDir dir;
    StepClock clock;
};

TEST_F(MeasuredWrite, LeavesNothingBehind) {
    const auto rate = MeasureWriteRate('E', Services(), 3 << 20);
    ASSERT_TRUE(rate.has_value());
    EXPECT_DOUBLE_EQ(*rate, 3.0 * (1 << 20) * 100);  // 3 MiB in 10 ms
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(MeasuredWrite, AnExistingFolderAndItsFilesStay) {
    fs::create_directory(dir / "$clean_tmp");
    test::WriteAll(dir / "$clean_tmp" / "tmp0001", "an earlier fill's");
    EXPECT_TRUE(MeasureWriteRate('E', Services(), 1 << 20).has_value());
    EXPECT_EQ(test::ReadAll(dir / "$clean_tmp" / "tmp0001"), "an earlier fill's");
    EXPECT_FALSE(fs::exists(dir / "$clean_tmp" / "tmp0000"));
}

TEST_F(MeasuredWrite, NeverWritesThroughALink) {
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "$clean_tmp");
    EXPECT_FALSE(MeasureWriteRate('E', Services(), 1 << 20).has_value());
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}

}  // namespace
}  // namespace quenlo::freespace
