#pragma once

// Starting other programs (CreateProcessW with redirected output) and
// finding the running executable (GetModuleFileNameW).

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quenlo::platform {

// The full path of the running executable.
std::filesystem::path executablePath();

// Starts one command at a time. The command's standard output and error are
// read through pipes and thrown away; a thread of the launcher's own waits for
// the end and then calls `onEnded` (from that thread: a window posts it on to
// its own thread). No shell is involved: the program and its arguments are
// passed as they are.
class ProcessLauncher {
public:
    ProcessLauncher();
    ~ProcessLauncher();  // waits for a running command to end
    ProcessLauncher(const ProcessLauncher&) = delete;
    ProcessLauncher& operator=(const ProcessLauncher&) = delete;

    // Starts `program` (a bare name is looked up in PATH) with `arguments`.
    // Throws std::runtime_error with "Cannot perform this operation when
    // process is running" while a command runs, and std::system_error when
    // the program cannot be started.
    void start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               std::function<void()> onEnded = {});

    // True from a start until the command has ended and its output was read.
    bool running() const;

    // Waits until no command runs and its onEnded has returned.
    void wait();

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Starts a program and does not wait for it or watch it (its output goes
// where the caller's goes). False when it could not be started.
bool startDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace quenlo::platform
