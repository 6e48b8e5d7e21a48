#include <gtest/gtest.h>

#include <thread>

#include "tests/support/RecordingFileSystem.h"
#include "wipe/RandomSource.h"

namespace quenlo::wipe {
namespace {

TEST(RandomSource, KnownSequenceFromZero) {
    RandomSeed = 0;
    EXPECT_EQ(RandomBelow(255), 0u);
    EXPECT_EQ(RandomSeed.load(), 1u);
    EXPECT_EQ(RandomBelow(255), 8u);
    EXPECT_EQ(RandomBelow(255), 219u);
}

TEST(RandomSource, BelowZeroIsZeroAndStillAdvances) {
    RandomSeed = 7;
    EXPECT_EQ(RandomBelow(0), 0u);
    EXPECT_EQ(RandomSeed.load(), 7u * 134775813u + 1u);
}

TEST(RandomSource, BetweenStaysInsideAndNeverReturnsTheUpperBound) {
    struct Case {
        std::int32_t a, b, low, high;  // results in [low, high)
    };
    const Case cases[] = {
        {0, 255, 0, 255}, {1000, 9000, 1000, 9000}, {9000, 1000, 1000, 9000}, {-5, 5, -5, 5}};
    for (const Case& c : cases) {
        RandomSeed = 12345;
        bool sawLow = false;
        for (int i = 0; i < 200000; ++i) {
            const std::int32_t value = RandomBetween(c.a, c.b);
            ASSERT_GE(value, c.low) << c.a << ".." << c.b;
            ASSERT_LT(value, c.high) << c.a << ".." << c.b;
            sawLow = sawLow || value == c.low;
        }
        EXPECT_TRUE(sawLow) << c.a << ".." << c.b;
    }
    RandomSeed = 3;
    EXPECT_EQ(RandomBetween(42, 42), 42);
}

TEST(RandomSource, SeedsFromTheCounterElseTheTickCount) {
    test::FixedClock clock;
    clock.counter = 0x7'0000'0042LL;
    SeedFromClock(clock);
    EXPECT_EQ(RandomSeed.load(), 0x42u);
    clock.hasCounter = false;
    clock.tick = 99;
    SeedFromClock(clock);
    EXPECT_EQ(RandomSeed.load(), 99u);
}

TEST(RandomSource, TwoThreadsDrawingTogetherLoseNoStep) {
    constexpr int kDraws = 200000;
    RandomSeed = 1;
    std::uint32_t expected = 1;
    for (int i = 0; i < 2 * kDraws; ++i) {
        expected = expected * 134775813u + 1u;
    }
    auto draw = [] {
        for (int i = 0; i < kDraws; ++i) {
            RandomBelow(255);
        }
    };
    std::thread first(draw), second(draw);
    first.join();
    second.join();
    EXPECT_EQ(RandomSeed.load(), expected);
}

}  // namespace
}  // namespace quenlo::wipe
