#include "wipe/RandomSource.h"

namespace quenlo::wipe {

void SeedFromClock(platform::Clock& clock) {
    std::int64_t counter = 0;
    if (clock.performanceCounter(counter)) {
        RandomSeed.store(static_cast<std::uint32_t>(counter));
    } else {
        RandomSeed.store(clock.tickCount());
    }
}

std::uint32_t RandomBelow(std::uint32_t n) {
    std::uint32_t seed = RandomSeed.load(std::memory_order_relaxed);
    std::uint32_t next = 0;
    do {
        next = seed * 134775813u + 1u;
    } while (!RandomSeed.compare_exchange_weak(seed, next, std::memory_order_relaxed));
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(next) * n) >> 32);
}

std::int32_t RandomBetween(std::int32_t a, std::int32_t b) {
    // The difference is formed in 32-bit unsigned arithmetic, where it always fits.
    if (b >= a) {
        const auto span = static_cast<std::uint32_t>(b) - static_cast<std::uint32_t>(a);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + RandomBelow(span));
    }
    const auto span = static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b) + RandomBelow(span));
}

}  // namespace quenlo::wipe
