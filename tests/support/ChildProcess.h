#pragma once

// A program of the project started the way a user or a script starts it: no
// shell, its arguments as they are, an environment of the test's choosing,
// standard input from the test, standard output and error collected.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quenlo::test {

class ChildProcess {
public:
    // Starts `program` with `arguments`; `environment` is added to (or
    // replaces names of) the test's own; `input` is what standard input
    // holds before it ends; `folder`: the working folder (empty: the test's);
    // `closedOutput`: standard output is a pipe nobody reads, closed at once
    // (as "| head -c0" would). Signals start with their default handling.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment = {},
                 const std::string& input = "", const std::filesystem::path& folder = {},
                 bool closedOutput = false);
    ~ChildProcess();  // kills a program still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until standard output holds `text`; false after `timeout`.
    bool waitForOutput(const std::string& text,
                       std::chrono::seconds timeout = std::chrono::seconds(60));
    void signal(int number);
    // Waits for the end; the exit status, or -1 after `timeout` (then the
    // program is killed) or when a signal ended it.
    int wait(std::chrono::seconds timeout = std::chrono::seconds(120));

    std::string output();
    std::string errors();

private:
    void drain(int descriptor, std::string& into);

    int pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    std::mutex mutex_;
    std::string output_;
    std::string errors_;
    std::thread outputReader_;
    std::thread errorReader_;
};

// Runs the program to its end: {status, standard output, standard error}.
struct Finished {
    int status;
    std::string output;
    std::string errors;
};
Finished RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment = {},
                  const std::string& input = "", const std::filesystem::path& folder = {});

}  // namespace quenlo::test
