#include "app/cli/ConsoleWipeWindow.h"

#include <algorithm>

namespace quenlo::cli {

ConsoleWipeWindow::ConsoleWipeWindow(ConsoleOutput& output, ProgressMode mode,
                                     platform::Clock& clock, std::string program)
    : output_(output), mode_(mode), clock_(clock), program_(std::move(program)) {}

void ConsoleWipeWindow::SetWipeRunning(bool running) {
    running_ = running;
    if (running) {
        tenthsShown_ = 0;
    } else {
        output_.clearStatus();
    }
}

void ConsoleWipeWindow::SetDiskCaption(std::string_view caption) {
    caption_ = caption;
    redraw(true);
}

void ConsoleWipeWindow::AddLogLine(std::string_view caption, int icon) {
    const std::string text = Printable(caption);
    if (icon == freespace::kWarningIcon) {
        ++warnings_;
        if (mode_ == ProgressMode::Quiet) {
            output_.errorLine(program_ + ": warning: " + text);
        } else {
            output_.line("warning: " + text);
        }
    } else if (mode_ != ProgressMode::Quiet) {
        output_.line(text);
    }
    redraw(true);
}

void ConsoleWipeWindow::SetProgressRange(std::int64_t minimum, std::int64_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    redraw(false);
}

double ConsoleWipeWindow::fraction() const {
    if (maximum_ <= minimum_) {
        return 0.0;
    }
    return std::clamp(
        static_cast<double>(position_ - minimum_) / static_cast<double>(maximum_ - minimum_), 0.0,
        1.0);
}

void ConsoleWipeWindow::SetProgressPosition(std::int64_t position) {
    position_ = position;
    if (mode_ == ProgressMode::Lines && running_) {
        const int tenths = static_cast<int>(fraction() * 10.0);
        if (tenths > tenthsShown_ && tenths < 10) {
            tenthsShown_ = tenths;
            output_.line(caption_ + " " + std::to_string(tenths * 10) + "%");
        }
    }
    redraw(false);
}

void ConsoleWipeWindow::StartElapsedTime() {
    timing_ = true;
    startTick_ = clock_.tickCount();
    elapsedMs_ = 0;
}

void ConsoleWipeWindow::WipeThreadEnded() {
    ended_ = true;
    output_.clearStatus();
}

void ConsoleWipeWindow::redraw(bool force) {
    if (mode_ != ProgressMode::Live || !running_) {
        return;
    }
    const std::uint32_t now = clock_.tickCount();
    if (timing_) {
        elapsedMs_ = now - startTick_;
    }
    if (!force && now - lastDraw_ < 200) {
        return;
    }
    lastDraw_ = now;
    const double done = fraction();
    const double elapsed = elapsedMs_ / 1000.0;
    const double left = done > 0.01 ? elapsed * (1.0 - done) / done : -1.0;
    output_.status(BarText(done, 12) + " " + std::to_string(static_cast<int>(done * 100.0)) +
                   "%  " + caption_ + "  " + ClockText(elapsed) + " elapsed  " + ClockText(left) +
                   " left" + (stopRequested_ ? "  stopping..." : ""));
}

}  // namespace quenlo::cli
