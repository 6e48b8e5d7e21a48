#pragma once

// A window thread of its own (a real second thread running a queue of
// steps) and a wizard window that writes down every call, checking that
// each arrives on that thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "freespace/WipeWindow.h"
#include "platform/Thread.h"

namespace quenlo::test {

class FakeWindowThread : public platform::WindowThread {
public:
    FakeWindowThread();
    ~FakeWindowThread() override;
    FakeWindowThread(const FakeWindowThread&) = delete;
    FakeWindowThread& operator=(const FakeWindowThread&) = delete;

    void runAndWait(const std::function<void()>& step) override;
    std::thread::id id() const { return thread_.get_id(); }

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> steps_;
    bool quit_ = false;
    std::thread thread_;
};

class RecordingWipeWindow : public freespace::WipeWindow {
public:
    explicit RecordingWipeWindow(FakeWindowThread& thread) : thread_(thread) {}

    // Set from the test, read by the run (on the window thread).
    std::atomic<bool> stopRequested{false};
    // Called on the window thread after each call is recorded, with its text.
    std::function<void(const std::string&)> onEvent;

    // Every call as text, in order: "log 0 Start Wiping disk E:\", "caption
    // DISK E", "range 0 100", "position 100", "running 1", "start 0",
    // "stop 1", "back 0", "time start", "time stop", "ended".
    std::vector<std::string> events() const;
    // Just the log lines ("0 Wipe finshed.").
    std::vector<std::string> logLines() const;
    // Calls that did not arrive on the window thread.
    int wrongThreadCalls() const { return wrongThread_.load(); }

    // Waits until the run's thread has ended (the window was told, and the
    // thread is gone); false on timeout.
    bool waitForEnd(std::chrono::seconds timeout = std::chrono::seconds(120));

    bool StopRequested() const override { return stopRequested.load(); }
    void SetWipeRunning(bool running) override { record(std::string("running ") + (running ? "1" : "0")); }
    void SetDiskCaption(std::string_view caption) override { record("caption " + std::string(caption)); }
    void AddLogLine(std::string_view caption, int icon) override {
        record("log " + std::to_string(icon) + " " + std::string(caption));
    }
    void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override {
        record("range " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    void SetProgressPosition(std::int64_t position) override {
        record("position " + std::to_string(position));
    }
    void SetStartVisible(bool visible) override { record(std::string("start ") + (visible ? "1" : "0")); }
    void SetStopVisible(bool visible) override { record(std::string("stop ") + (visible ? "1" : "0")); }
    void SetBackEnabled(bool enabled) override { record(std::string("back ") + (enabled ? "1" : "0")); }
    void StartElapsedTime() override { record("time start"); }
    void StopElapsedTime() override { record("time stop"); }
    void WipeThreadEnded() override;

private:
    void record(const std::string& event);

    FakeWindowThread& thread_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::vector<std::string> events_;
    bool endedFlag_ = false;
    std::atomic<int> wrongThread_{0};
};

}  // namespace quenlo::test
