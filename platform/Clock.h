#pragma once

#include <cstdint>

namespace quenlo::platform {

// The two clocks the program reads.
class Clock {
public:
    virtual ~Clock() = default;
    // GetTickCount: milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t tickCount() = 0;
    // QueryPerformanceCounter: a high-resolution counter; false when the
    // system has none.
    virtual bool performanceCounter(std::int64_t& value) = 0;
};

Clock& systemClock();

}  // namespace quenlo::platform
