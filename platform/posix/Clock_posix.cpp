#include "platform/Clock.h"

#include <time.h>

namespace quenlo::platform {
namespace {

class PosixClock final : public Clock {
public:
    std::uint32_t tickCount() override {
        // CLOCK_BOOTTIME counts the time asleep too, as GetTickCount does.
        timespec now{};
        ::clock_gettime(CLOCK_BOOTTIME, &now);
        const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(ms);
    }

    bool performanceCounter(std::int64_t& value) override {
        timespec now{};
        if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
            return false;
        }
        value = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
        return true;
    }
};

}  // namespace

Clock& systemClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace quenlo::platform
