#include "app/cli/ConsoleShredProgress.h"

#include <algorithm>

#include "freespace/WipeEstimate.h"
#include "wipe/ShredState.h"

namespace quenlo::cli {
namespace {

// The status line is drawn again at most this often.
constexpr std::uint32_t kRedrawMilliseconds = 100;

}  // namespace

ConsoleShredProgress::ConsoleShredProgress(ConsoleOutput& output, ProgressMode mode,
                                           ShredWorkload workload, platform::Clock& clock,
                                           int (*interruptCount)())
    : output_(output),
      mode_(mode),
      workload_(workload),
      clock_(clock),
      interruptCount_(interruptCount),
      interruptsSeen_(interruptCount ? interruptCount() : 0) {}

double ConsoleShredProgress::seconds() {
    return static_cast<double>(clock_.tickCount() - startTick_) / 1000.0;
}

void ConsoleShredProgress::setTitleText(const std::string& text) {
    constexpr std::string_view kPrefix = "File: ";
    name_ = text.rfind(kPrefix, 0) == 0 ? text.substr(kPrefix.size()) : text;
    ++fileNumber_;
    pass_ = 0;
    passPosition_ = 0;
    if (!started_) {
        started_ = true;
        startTick_ = clock_.tickCount();
    }
    if (mode_ == ProgressMode::Lines) {
        output_.line("shredding " + std::to_string(fileNumber_) + " of " +
                     std::to_string(workload_.files) + ": " + Printable(name_));
    }
    redraw(false);  // many small files must not flood the terminal
}

void ConsoleShredProgress::setPassText(std::string_view) {}

void ConsoleShredProgress::startPassBar(std::int64_t) {
    ++pass_;
    passPosition_ = 0;
    redraw(false);
}

void ConsoleShredProgress::setPassPosition(std::int64_t position) {
    if (position > passPosition_) {
        done_ += static_cast<std::uint64_t>(position - passPosition_) * 1024;
    }
    passPosition_ = std::max(passPosition_, position);
    redraw(false);
}

void ConsoleShredProgress::processPendingMessages() {
    if (interruptCount_ != nullptr && interruptCount_() != interruptsSeen_) {
        interruptsSeen_ = interruptCount_();
        if (!wipe::ShredCancelled.load()) {
            wipe::ShredCancelled = true;
            output_.errorLine("quenlo-cli: stopping at the user's request");
        }
    }
    redraw(false);
}

std::string ConsoleShredProgress::statusText() {
    const std::uint64_t total =
        workload_.bytes * static_cast<std::uint64_t>(std::max(workload_.passes, 1));
    const double fraction =
        total > 0 ? static_cast<double>(done_) / static_cast<double>(total) : 0.0;
    const double elapsed = started_ ? seconds() : 0.0;
    const double rate = elapsed > 0.2 ? static_cast<double>(done_) / elapsed : 0.0;
    const double left =
        rate > 0.0 && total >= done_ ? static_cast<double>(total - done_) / rate : -1.0;
    std::string text =
        BarText(fraction, 12) + " " + std::to_string(static_cast<int>(fraction * 100.0)) +
        "%  file " + std::to_string(fileNumber_) + "/" + std::to_string(workload_.files) +
        "  pass " + std::to_string(std::max(pass_, 1)) + "/" + std::to_string(workload_.passes) +
        "  " + freespace::SizeText(done_) + " of " + freespace::SizeText(total) + "  " +
        (rate > 0.0 ? freespace::SizeText(static_cast<std::uint64_t>(rate)) + "/s" : "--/s") +
        "  " + ClockText(left) + " left  " + name_;
    return text;
}

void ConsoleShredProgress::redraw(bool force) {
    if (mode_ != ProgressMode::Live || !started_) {
        return;
    }
    const std::uint32_t now = clock_.tickCount();
    if (!force && now - lastDraw_ < kRedrawMilliseconds) {
        return;
    }
    lastDraw_ = now;
    output_.status(statusText());
}

}  // namespace quenlo::cli
