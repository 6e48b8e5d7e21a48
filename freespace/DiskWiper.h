#pragma once

// A Free-space wipe in the background: for each chosen drive in turn, clear
// what an earlier run left, fill the free space with the method's passes,
// clear the temporary files again and log the outcome. Around the run the
// Explorer policy value "NoLowDiskSpaceChecks" is set (so the shell does not
// pester the user about a drive the wipe fills on purpose) and deleted again.
//
// The worker never touches the window itself: every change goes through
// WipeWindow on the window's thread, with the worker waiting, so the fill
// state those steps read needs no lock and log lines arrive in order.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "freespace/FreeSpaceFill.h"
#include "freespace/WipeWindow.h"
#include "platform/Registry.h"
#include "platform/Thread.h"

namespace quenlo::freespace {

// The log lines of a run.
inline constexpr std::string_view kStartLinePrefix = "Start Wiping disk ";
inline constexpr std::string_view kCancelLine = "Wipe cancelled by user";
inline constexpr std::string_view kWipedLinePrefix = "Disk wiped ";
inline constexpr std::string_view kFinishedLine = "Wipe finshed.";
// When a drive's fill ended before the drive was full; followed by the
// drive root, ": " and why.
inline constexpr std::string_view kIncompleteLinePrefix = "Free space not wiped completely on ";
// When an error ends the run early; followed by the error's text.
inline constexpr std::string_view kErrorLinePrefix = "Wipe stopped by an error: ";

// The policy value and its key under HKEY_CURRENT_USER.
inline constexpr std::string_view kPolicyKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr std::string_view kPolicyValue = "NoLowDiskSpaceChecks";

// restore false: the policy value becomes 1; restore true: it is deleted.
// A key that cannot be opened leaves the value alone.
void SetLowDiskSpacePolicy(platform::Registry& registry, bool restore);
// The policy value becomes 0 (created if missing).
void ResetLowDiskSpacePolicy(platform::Registry& registry);

struct DiskWiperServices {
    FillServices fill;
    platform::Registry* registry = nullptr;  // null: the current user's
    // GetDriveTypeW of a letter.
    std::function<platform::DriveType(char)> driveType = platform::GetDriveType;
    // The pause after each drive.
    std::function<void(std::chrono::milliseconds)> sleep = platform::Sleep;
};

// Rounds numerator / denominator to the nearest integer, halves to even.
std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator);

class TDiskWiper : public FreeSpaceFill {
public:
    // Starts a run on a thread of its own at below-normal priority and
    // returns at once; the run frees itself when it ends. `drives`: upper-case
    // letters, one per drive, in order; `method` 0..4. The window and the
    // window thread must outlive the run: WipeWindow::WipeThreadEnded is its
    // last call. Throws std::invalid_argument for a method outside 0..4.
    static void Start(std::string drives, std::int32_t method, WipeWindow& window,
                      platform::WindowThread& windowThread, DiskWiperServices services = {});

    // How many runs' threads are alive in this process.
    static int RunningThreads();

    TDiskWiper(WipeWindow& window, platform::WindowThread& windowThread,
               DiskWiperServices services);

    std::string Drives;

    // The thread body: the whole run. Never throws: an error ends the run
    // early with a warning line, the temporary files of the drive removed,
    // the policy value deleted and the window back in its idle state.
    void Execute();

    // Steps on the window's thread (the worker waits for them).
    void SyncFillStarted();
    void SyncProgress();
    void SyncDiskFinished();

protected:
    void FillStarted() override;
    void FillProgress() override;
    void FillLogLine(std::string_view caption, int icon) override;

private:
    void Run();
    // The window's idle state: Stop hidden, Start shown, the elapsed time
    // stopped, Back enabled, not running.
    void ShowIdle();
    void Synchronize(const std::function<void()>& step);
    void Log(std::string_view caption, int icon);
    platform::Registry& registry();

    WipeWindow& window_;
    platform::WindowThread& windowThread_;
    DiskWiperServices services_;
};

}  // namespace quenlo::freespace
