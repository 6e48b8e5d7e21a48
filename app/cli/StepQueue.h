#pragma once

// The window thread of a console tool: the thread that created the queue
// (the main thread) runs the steps a worker hands over, one at a time and in
// order, while the worker waits, just as a window's thread carries out a
// synchronised step. Between steps the main thread polls what it must (the
// interrupt keys, a clock).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Thread.h"

namespace quenlo::cli {

class StepQueue : public platform::WindowThread {
public:
    StepQueue() : owner_(std::this_thread::get_id()) {}

    // From a worker: queues the step and waits until the owner ran it; an
    // exception of the step is thrown again here. From the owner: runs it.
    void runAndWait(const std::function<void()>& step) override;

    // On the owner: runs handed-over steps until `done()` holds, calling
    // `idle()` whenever `poll` passes without a step (and after each step).
    void runUntil(const std::function<bool()>& done, const std::function<void()>& idle,
                  std::chrono::milliseconds poll);

private:
    struct Pending {
        const std::function<void()>* step;
        std::exception_ptr failure;
        bool finished = false;
    };

    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<Pending*> pending_;
};

}  // namespace quenlo::cli
