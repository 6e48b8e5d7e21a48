#pragma once

// Thread services: the worker's priority, Sleep, and running a step on the
// thread that owns the windows while the worker waits (the run-time
// library's Synchronize on Windows).

#include <chrono>
#include <functional>

namespace quenlo::platform {

// SetThreadPriority(THREAD_PRIORITY_BELOW_NORMAL) for the calling thread. On
// Linux: a nice value of 10 for this thread alone and, where the kernel has
// it, the idle I/O class, so that the desktop stays responsive while the
// thread writes. Failures are ignored; the work just runs at normal priority.
void LowerCurrentThreadPriority();

// Sleep.
void Sleep(std::chrono::milliseconds duration);

// The thread that owns the windows.
class WindowThread {
public:
    virtual ~WindowThread() = default;

    // Runs `step` on the window's thread and returns when it has run; called
    // on the window's thread itself, runs it at once. An exception thrown by
    // the step is thrown again here, in the caller's thread. Steps run in the
    // order in which they were handed over.
    virtual void runAndWait(const std::function<void()>& step) = 0;
};

}  // namespace quenlo::platform
