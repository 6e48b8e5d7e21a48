#pragma once

// A Free-space wipe on a console, standing where the wizard's "Wipe" page
// stands: the run's log lines are printed as they come (a warning marked as
// one), the current drive, its progress and the elapsed time show in the
// live status line on a terminal and as a line every tenth of the way
// without one, and a stop request (Ctrl-C) is what the Stop button is.

#include <cstdint>
#include <string>

#include "app/cli/ConsoleOutput.h"
#include "app/cli/ConsoleShredProgress.h"
#include "freespace/WipeWindow.h"
#include "platform/Clock.h"

namespace quenlo::cli {

class ConsoleWipeWindow : public freespace::WipeWindow {
public:
    ConsoleWipeWindow(ConsoleOutput& output, ProgressMode mode, platform::Clock& clock,
                      std::string program);

    // The Stop button; stays in force until the run ends.
    void requestStop() { stopRequested_ = true; }
    // The run's thread has done its last step.
    bool ended() const { return ended_; }
    // Warning lines logged: a stop, a drive not wiped completely, an error.
    int warnings() const { return warnings_; }
    // Lets the elapsed time move on the status line.
    void tick() { redraw(false); }

    bool StopRequested() const override { return stopRequested_; }
    void SetWipeRunning(bool running) override;
    void SetDiskCaption(std::string_view caption) override;
    void AddLogLine(std::string_view caption, int icon) override;
    void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;
    void SetStartVisible(bool) override {}
    void SetStopVisible(bool) override {}
    void SetBackEnabled(bool) override {}
    void StartElapsedTime() override;
    void StopElapsedTime() override { timing_ = false; }
    void WipeThreadEnded() override;

private:
    void redraw(bool force);
    double fraction() const;

    ConsoleOutput& output_;
    ProgressMode mode_;
    platform::Clock& clock_;
    std::string program_;
    bool stopRequested_ = false;
    bool running_ = false;
    bool ended_ = false;
    int warnings_ = 0;
    std::string caption_;
    std::int64_t minimum_ = 0;
    std::int64_t maximum_ = 100;
    std::int64_t position_ = 0;
    int tenthsShown_ = 0;
    bool timing_ = false;
    std::uint32_t startTick_ = 0;
    std::uint32_t elapsedMs_ = 0;
    std::uint32_t lastDraw_ = 0;
};

}  // namespace quenlo::cli
