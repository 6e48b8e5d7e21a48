#include "app/cli/StepQueue.h"

namespace quenlo::cli {

void StepQueue::runAndWait(const std::function<void()>& step) {
    if (std::this_thread::get_id() == owner_) {
        step();
        return;
    }
    Pending pending{&step, nullptr};
    std::unique_lock lock(mutex_);
    pending_.push_back(&pending);
    queued_.notify_one();
    finished_.wait(lock, [&] { return pending.finished; });
    if (pending.failure) {
        std::rethrow_exception(pending.failure);
    }
}

void StepQueue::runUntil(const std::function<bool()>& done, const std::function<void()>& idle,
                         std::chrono::milliseconds poll) {
    while (!done()) {
        Pending* next = nullptr;
        {
            std::unique_lock lock(mutex_);
            queued_.wait_for(lock, poll, [&] { return !pending_.empty(); });
            if (!pending_.empty()) {
                next = pending_.front();
                pending_.pop_front();
            }
        }
        if (next != nullptr) {
            try {
                (*next->step)();
            } catch (...) {
                next->failure = std::current_exception();
            }
            std::lock_guard lock(mutex_);
            next->finished = true;
            finished_.notify_all();
        }
        idle();
    }
}

}  // namespace quenlo::cli
