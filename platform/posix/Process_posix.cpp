#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <stdexcept>
#include <system_error>
#include <thread>

extern char** environ;

namespace quenlo::platform {

std::filesystem::path executablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

struct ProcessLauncher::State {
    mutable std::mutex mutex;
    std::condition_variable ended;
    bool running = false;
    bool settled = true;  // false until the watcher, onEnded included, is done
    std::thread watcher;
};

namespace {

// Spawns the program with its output on `outputFd` (or the caller's when -1).
pid_t Spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            int outputFd) {
    std::vector<std::string> argv{program.native()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
        posix_spawn_file_actions_adddup2(&actions, outputFd, 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    pid_t pid = -1;
    const int result =
        ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::system_error(result, std::generic_category(),
                                "cannot start " + program.string());
    }
    return pid;
}

}  // namespace

ProcessLauncher::ProcessLauncher() : state_(std::make_shared<State>()) {}

ProcessLauncher::~ProcessLauncher() {
    wait();
    if (state_->watcher.joinable()) {
        state_->watcher.join();
    }
}

bool ProcessLauncher::running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

void ProcessLauncher::wait() {
    std::unique_lock lock(state_->mutex);
    state_->ended.wait(lock, [&] { return !state_->running && state_->settled; });
}

void ProcessLauncher::start(const std::filesystem::path& program,
                            const std::vector<std::string>& arguments,
                            std::function<void()> onEnded) {
    std::unique_lock lock(state_->mutex);
    if (state_->running) {
        throw std::runtime_error("Cannot perform this operation when process is running");
    }
    if (state_->watcher.joinable()) {
        state_->watcher.join();
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot make a pipe");
    }
    pid_t pid = -1;
    try {
        pid = Spawn(program, arguments, pipeFds[1]);
    } catch (...) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw;
    }
    ::close(pipeFds[1]);
    state_->running = true;
    state_->settled = false;
    state_->watcher =
        std::thread([state = state_, pid, readFd = pipeFds[0], onEnded = std::move(onEnded)] {
            char buffer[4096];
            while (true) {
                const ssize_t got = ::read(readFd, buffer, sizeof buffer);
                if (got > 0 || (got < 0 && errno == EINTR)) {
                    continue;
                }
                break;
            }
            ::close(readFd);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            {
                std::lock_guard guard(state->mutex);
                state->running = false;
            }
            if (onEnded) {
                onEnded();
            }
            {
                std::lock_guard guard(state->mutex);
                state->settled = true;
            }
            state->ended.notify_all();
        });
}

bool startDetached(const std::filesystem::path& program,
                   const std::vector<std::string>& arguments) {
    try {
        const pid_t pid = Spawn(program, arguments, -1);
        // Reap it from a thread of its own so it leaves no zombie behind.
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace quenlo::platform
