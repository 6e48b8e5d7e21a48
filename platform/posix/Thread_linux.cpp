#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

#include "platform/Thread.h"

namespace quenlo::platform {
namespace {

// From linux/ioprio.h, which not every system's headers carry.
constexpr int kIoprioWhoProcess = 1;
constexpr int kIoprioClassIdle = 3;
constexpr int kIoprioClassShift = 13;

}  // namespace

void LowerCurrentThreadPriority() {
    // On Linux the nice value and the I/O priority belong to the thread when
    // addressed by its thread id.
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, 10);
    ::syscall(SYS_ioprio_set, kIoprioWhoProcess, static_cast<int>(thread),
              kIoprioClassIdle << kIoprioClassShift);
}

void Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace quenlo::platform
