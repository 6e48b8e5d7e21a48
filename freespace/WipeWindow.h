#pragma once

// What the disk wiper needs of the free-space wizard window. Every call is
// made on the window's thread (see platform::WindowThread); the wizard
// implements it over its controls, tests with a recording fake.

#include <cstdint>
#include <string_view>

namespace quenlo::freespace {

// Icon indexes of log lines.
inline constexpr int kInformationIcon = 0;
inline constexpr int kWarningIcon = 1;

class WipeWindow {
public:
    virtual ~WipeWindow() = default;

    // The user pressed Stop (stays set until the next Start).
    virtual bool StopRequested() const = 0;
    // A drive's fill is in progress.
    virtual void SetWipeRunning(bool running) = 0;
    // panDisk's caption.
    virtual void SetDiskCaption(std::string_view caption) = 0;
    // Appends a line to LV.
    virtual void AddLogLine(std::string_view caption, int icon) = 0;
    // pbWipe.
    virtual void SetProgressRange(std::int64_t minimum, std::int64_t maximum) = 0;
    virtual void SetProgressPosition(std::int64_t position) = 0;
    // bStart, btnStop, bBack.
    virtual void SetStartVisible(bool visible) = 0;
    virtual void SetStopVisible(bool visible) = 0;
    virtual void SetBackEnabled(bool enabled) = 0;
    // labTime: back to 00:00:00 and counting; stopped (keeps its time).
    virtual void StartElapsedTime() = 0;
    virtual void StopElapsedTime() = 0;
    // The run's thread has done its last step; the window may close and
    // start another run.
    virtual void WipeThreadEnded() = 0;
};

}  // namespace quenlo::freespace
