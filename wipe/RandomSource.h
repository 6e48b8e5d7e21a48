#pragma once

// The program's one random source: a 32-bit linear congruential generator
// shared by everything that needs random values (pass patterns, throw-away
// names, free-space wiping). Not for secrets: the patterns only have to
// differ from the data they overwrite, and the names only have to be unlikely
// to exist.
//
// Safe to use from several threads: every draw advances the shared state by
// exactly one step of the recurrence, atomically.

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

namespace quenlo::wipe {

// The state; 0 when the program starts.
inline std::atomic<std::uint32_t> RandomSeed{0};

// Sets the state from the high-resolution counter (its low 32 bits), or from
// the tick count when there is no such counter.
void SeedFromClock(platform::Clock& clock = platform::systemClock());

// Advances the state (seed = seed * 134775813 + 1 mod 2^32) and returns the
// upper 32 bits of seed * n: a value in 0..n-1, or 0 for n = 0.
std::uint32_t RandomBelow(std::uint32_t n);

// a + RandomBelow(b - a) when b >= a, else b + RandomBelow(a - b): the upper
// bound itself is never returned.
std::int32_t RandomBetween(std::int32_t a, std::int32_t b);

}  // namespace quenlo::wipe
