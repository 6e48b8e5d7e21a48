#pragma once

// A fill that records its reports, and a drive map pointing at one folder.

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "freespace/FreeSpaceFill.h"

namespace quenlo::test {

class RecordingFill : public freespace::FreeSpaceFill {
public:
    using FreeSpaceFill::FreeSpaceFill;

    int started = 0;
    std::int32_t divisorAtStart = 0;
    std::vector<std::int64_t> tickBytes;  // BytesWritten at each progress tick
    std::vector<std::string> log;
    int filesFinished = 0;
    // Sets Cancelled at this tick (1-based); 0: never.
    int cancelAtTick = 0;

protected:
    void FillStarted() override {
        ++started;
        divisorAtStart = ProgressDivisor;
    }
    void FillProgress() override {
        tickBytes.push_back(BytesWritten);
        if (cancelAtTick > 0 && static_cast<int>(tickBytes.size()) == cancelAtTick) {
            Cancelled = true;
            log.emplace_back("cancel");
        }
    }
    void FillLogLine(std::string_view caption, int) override {
        log.emplace_back(caption);
        ++filesFinished;
    }
};

// QUENLO_DRIVES for the length of a test.
class DriveMap {
public:
    explicit DriveMap(const std::string& value) { ::setenv("QUENLO_DRIVES", value.c_str(), 1); }
    ~DriveMap() { ::unsetenv("QUENLO_DRIVES"); }
    DriveMap(const DriveMap&) = delete;
    DriveMap& operator=(const DriveMap&) = delete;
};

}  // namespace quenlo::test
