#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace quenlo::test {

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::string& input, const std::filesystem::path& folder,
                           bool closedOutput) {
    // A program that ends before reading its input must not end the test.
    ::signal(SIGPIPE, SIG_IGN);
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        variables[text.substr(0, equals)] =
            equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    for (const auto& [name, value] : environment) {
        variables[name] = value;
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) {
        envText.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& text : envText) {
        envp.push_back(text.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argText = {program.string()};
    argText.insert(argText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argText) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    // The child starts as from a shell, not with the test's ignored SIGPIPE.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int failed =
        ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (failed != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(failed));
    }
    // The input is small; write it all and end it, so a question sees it.
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(in[1]);
    if (closedOutput) {
        ::close(out[0]);
    } else {
        outputReader_ = std::thread([this, fd = out[0]] { drain(fd, output_); });
    }
    errorReader_ = std::thread([this, fd = err[0]] { drain(fd, errors_); });
}

ChildProcess::~ChildProcess() {
    if (!ended_) {
        ::kill(pid_, SIGKILL);
        wait(std::chrono::seconds(10));
    }
    if (outputReader_.joinable())
        outputReader_.join();
    if (errorReader_.joinable())
        errorReader_.join();
}

void ChildProcess::drain(int descriptor, std::string& into) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(descriptor, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        std::lock_guard lock(mutex_);
        into.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(descriptor);
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (output().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void ChildProcess::signal(int number) {
    ::kill(pid_, number);
}

int ChildProcess::wait(std::chrono::seconds timeout) {
    if (ended_) {
        return status_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            ended_ = true;
            status_ = -1;
            return status_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ended_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (outputReader_.joinable())
        outputReader_.join();
    if (errorReader_.joinable())
        errorReader_.join();
    return status_;
}

std::string ChildProcess::output() {
    std::lock_guard lock(mutex_);
    return output_;
}

std::string ChildProcess::errors() {
    std::lock_guard lock(mutex_);
    return errors_;
}

Finished RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment, const std::string& input,
                  const std::filesystem::path& folder) {
    ChildProcess child(program, arguments, environment, input, folder);
    const int status = child.wait();
    return {status, child.output(), child.errors()};
}

}  // namespace quenlo::test
