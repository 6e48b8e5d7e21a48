// The console on Linux: isatty and TIOCGWINSZ; SIGINT, SIGTERM and SIGHUP
// counted by a handler that does nothing else (an atomic increment is all a
// signal handler may safely do here).

#include "platform/Console.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>

namespace quenlo::platform {
namespace {

std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void CountInterrupt(int) {
    interrupts.fetch_add(1, std::memory_order_relaxed);
}

int Descriptor(StandardStream stream) {
    switch (stream) {
        case StandardStream::Input:
            return STDIN_FILENO;
        case StandardStream::Output:
            return STDOUT_FILENO;
        case StandardStream::Error:
            return STDERR_FILENO;
    }
    return -1;
}

}  // namespace

bool IsTerminal(StandardStream stream) {
    return ::isatty(Descriptor(stream)) == 1;
}

int TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    // Restarted system calls: a write interrupted by Ctrl-C goes on, and the
    // work notices the request at its next poll.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

void IgnoreClosedOutput() { ::signal(SIGPIPE, SIG_IGN); }

int InterruptCount() {
    return interrupts.load(std::memory_order_relaxed);
}

}  // namespace quenlo::platform
