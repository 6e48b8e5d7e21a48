#pragma once

// The progress of a Shred job on a console, standing where the progress
// window stands: on a terminal a live status line (file n of m, pass p of P,
// bytes, rate, time left, the file's name); without one a plain line per
// file; quiet, nothing. In every mode it is also where the job notices
// Ctrl-C: each time the job lets pending messages run, an interrupt turns
// into the cancel request the progress window's Cancel button makes.

#include <cstdint>
#include <string>

#include "app/cli/ConsoleOutput.h"
#include "platform/Clock.h"
#include "shredlist/ShredJob.h"
#include "wipe/ShredProgress.h"

namespace quenlo::cli {

enum class ProgressMode { Live, Lines, Quiet };

// What the job is about to do, counted beforehand.
struct ShredWorkload {
    std::int64_t files = 0;
    std::uint64_t bytes = 0;  // the files' sizes added up
    int passes = 1;           // per file
};

class ConsoleShredProgress : public wipe::ShredProgress, public shredlist::JobProgress {
public:
    // `interruptCount` counts the interrupts (Ctrl-C) the user gave; null: none.
    ConsoleShredProgress(ConsoleOutput& output, ProgressMode mode, ShredWorkload workload,
                         platform::Clock& clock, int (*interruptCount)());

    // Bytes written so far (all passes).
    std::uint64_t bytesDone() const { return done_; }

    // wipe::ShredProgress
    void setPassText(std::string_view text) override;
    void startPassBar(std::int64_t maximum) override;
    void setPassPosition(std::int64_t position) override;
    void processPendingMessages() override;

    // shredlist::JobProgress
    void showWindow() override {}
    void closeWindow() override { output_.clearStatus(); }
    void startJobBar(std::int64_t) override {}
    void setJobPosition(std::int64_t) override {}
    void resetPassPosition() override {}
    void setFolderText(const std::string&) override {}
    void setTitleText(const std::string& text) override;
    void setProcessedText(const std::string&) override {}

    // The status line as it stands (for a terminal), whether shown or not.
    std::string statusText();

private:
    void redraw(bool force);
    double seconds();

    ConsoleOutput& output_;
    ProgressMode mode_;
    ShredWorkload workload_;
    platform::Clock& clock_;
    int (*interruptCount_)();
    int interruptsSeen_ = 0;

    std::int64_t fileNumber_ = 0;
    std::string name_;
    int pass_ = 0;
    std::int64_t passPosition_ = 0;  // KB
    std::uint64_t done_ = 0;
    bool started_ = false;
    std::uint32_t startTick_ = 0;
    std::uint32_t lastDraw_ = 0;
};

}  // namespace quenlo::cli
