#include "tests/support/FakeWipeWindow.h"

#include <exception>

#include "freespace/DiskWiper.h"

namespace quenlo::test {

FakeWindowThread::FakeWindowThread() : thread_([this] { loop(); }) {}

FakeWindowThread::~FakeWindowThread() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void FakeWindowThread::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !steps_.empty(); });
        if (steps_.empty()) {
            return;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        lock.unlock();
        step();
        lock.lock();
    }
}

void FakeWindowThread::runAndWait(const std::function<void()>& step) {
    if (std::this_thread::get_id() == thread_.get_id()) {
        step();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        steps_.push_back([&] {
            try {
                step();
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard doneLock(doneMutex);
            done = true;
            doneSignal.notify_one();
        });
    }
    wake_.notify_all();
    std::unique_lock doneLock(doneMutex);
    doneSignal.wait(doneLock, [&] { return done; });
    if (failure) {
        std::rethrow_exception(failure);
    }
}

std::vector<std::string> RecordingWipeWindow::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingWipeWindow::logLines() const {
    std::vector<std::string> lines;
    for (const std::string& event : events()) {
        if (event.rfind("log ", 0) == 0) {
            lines.push_back(event.substr(4));
        }
    }
    return lines;
}

void RecordingWipeWindow::record(const std::string& event) {
    if (std::this_thread::get_id() != thread_.id()) {
        ++wrongThread_;
    }
    {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    if (onEvent) {
        onEvent(event);
    }
}

void RecordingWipeWindow::WipeThreadEnded() {
    record("ended");
    std::lock_guard lock(mutex_);
    endedFlag_ = true;
    ended_.notify_all();
}

bool RecordingWipeWindow::waitForEnd(std::chrono::seconds timeout) {
    {
        std::unique_lock lock(mutex_);
        if (!ended_.wait_for(lock, timeout, [this] { return endedFlag_; })) {
            return false;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (freespace::TDiskWiper::RunningThreads() > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace quenlo::test
