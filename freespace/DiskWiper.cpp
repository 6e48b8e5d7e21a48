#include "freespace/DiskWiper.h"

#include "freespace/WipeEstimate.h"

#include <exception>
#include <stdexcept>
#include <thread>

#include "wipe/WipeMethods.h"

namespace quenlo::freespace {
namespace {

std::atomic<int> runningThreads{0};

constexpr auto kPauseAfterDrive = std::chrono::milliseconds(1500);

}  // namespace

void SetLowDiskSpacePolicy(platform::Registry& registry, bool restore) {
    auto key = registry.openKey(kPolicyKey);
    if (!key) {
        return;
    }
    if (restore) {
        key->deleteValue(kPolicyValue);
    } else {
        key->writeDword(kPolicyValue, 1);
    }
}

void ResetLowDiskSpacePolicy(platform::Registry& registry) {
    if (auto key = registry.openKey(kPolicyKey)) {
        key->writeDword(kPolicyValue, 0);
    }
}

std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) {
        return 0;
    }
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    const std::int64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

TDiskWiper::TDiskWiper(WipeWindow& window, platform::WindowThread& windowThread,
                       DiskWiperServices services)
    : FreeSpaceFill(services.fill),
      window_(window),
      windowThread_(windowThread),
      services_(std::move(services)) {}

void TDiskWiper::Start(std::string drives, std::int32_t method, WipeWindow& window,
                       platform::WindowThread& windowThread, DiskWiperServices services) {
    if (wipe::FindWipeMethod(method) == nullptr) {
        throw std::invalid_argument("Wipe method out of range: " + std::to_string(method));
    }
    auto wiper = std::make_unique<TDiskWiper>(window, windowThread, std::move(services));
    wiper->Drives = std::move(drives);
    wiper->Method = method;
    ++runningThreads;
    std::thread([wiper = std::move(wiper)]() mutable {
        platform::LowerCurrentThreadPriority();
        wiper->Execute();
        wiper.reset();
        --runningThreads;
    }).detach();
}

int TDiskWiper::RunningThreads() { return runningThreads.load(); }

platform::Registry& TDiskWiper::registry() {
    return services_.registry != nullptr ? *services_.registry : platform::currentUserRegistry();
}

void TDiskWiper::Synchronize(const std::function<void()>& step) { windowThread_.runAndWait(step); }

void TDiskWiper::Log(std::string_view caption, int icon) {
    const std::string text(caption);
    Synchronize([this, text, icon] { window_.AddLogLine(text, icon); });
}

void TDiskWiper::Execute() {
    try {
        Run();
    } catch (const std::exception& error) {
        // Leave nothing behind and the window usable: the drive's temporary
        // files go, the policy value goes, the window returns to idle.
        const std::string what = error.what();
        try {
            if (!DriveRoot.empty()) {
                CleanTempFolder(DriveRoot[0]);
            }
        } catch (...) {
        }
        try {
            SetLowDiskSpacePolicy(registry(), true);
        } catch (...) {
        }
        try {
            Synchronize([this, what] {
                ShowIdle();
                window_.AddLogLine(std::string(kErrorLinePrefix) + what, kWarningIcon);
            });
        } catch (...) {
        }
    }
    try {
        Synchronize([this] { window_.WipeThreadEnded(); });
    } catch (...) {
    }
}

void TDiskWiper::Run() {
    SetLowDiskSpacePolicy(registry(), false);
    RemovableChunk = 64;
    for (const char letter : Drives) {
        DriveRoot = std::string(1, letter) + ":\\";
        const std::string caption = std::string("DISK ") + letter;
        Synchronize([this, caption] { window_.SetDiskCaption(caption); });
        Log(std::string(kStartLinePrefix) + DriveRoot, kInformationIcon);
        CleanTempFolder(letter);
        Removable = services_.driveType(letter) == platform::DriveType::Removable;
        BytesWritten = 0;
        const std::uint32_t fillStart = services_.fill.clock->tickCount();
        switch (Method) {
            case wipe::wmSimpleOnePass: FillSimpleOnePass(); break;
            case wipe::wmSimpleTwoPass: FillSimpleTwoPass(); break;
            case wipe::wmDoD: FillDoD(); break;
            case wipe::wmMilitary: FillMilitary(); break;
            case wipe::wmGutmann: FillGutmann(); break;
            default: break;
        }
        if (!Cancelled) {
            // The rate of a whole fill, for the wizard's next estimate.
            RecordWriteRate(registry(),
                            static_cast<std::uint64_t>(BytesWritten) *
                                static_cast<std::uint64_t>(FillPassCount(Method)),
                            services_.fill.clock->tickCount() - fillStart);
        }
        if (!Cancelled && !Failure.empty()) {
            // Never let a drive that was not filled pass for a wiped one.
            Log(std::string(kIncompleteLinePrefix) + DriveRoot + ": " + Failure, kWarningIcon);
        }
        CleanTempFolder(letter);
        Log(std::string(kWipedLinePrefix) + DriveRoot, kInformationIcon);
        Synchronize([this] { SyncDiskFinished(); });
        services_.sleep(kPauseAfterDrive);
    }
    SetLowDiskSpacePolicy(registry(), true);
    Log(kFinishedLine, kInformationIcon);
}

void TDiskWiper::FillStarted() {
    Synchronize([this] { SyncFillStarted(); });
}

void TDiskWiper::FillProgress() {
    Synchronize([this] { SyncProgress(); });
}

void TDiskWiper::FillLogLine(std::string_view caption, int icon) { Log(caption, icon); }

void TDiskWiper::SyncFillStarted() {
    window_.SetDiskCaption("DRIVE " + DriveRoot.substr(0, 2));
    window_.SetProgressRange(0, RoundedQuotient(TotalFree, ProgressDivisor));
    window_.SetProgressPosition(0);
    window_.SetWipeRunning(true);
    window_.SetStartVisible(false);
    window_.SetStopVisible(true);
    window_.StartElapsedTime();
    window_.SetBackEnabled(false);
}

void TDiskWiper::SyncProgress() {
    if (window_.StopRequested()) {
        Cancelled = true;
    }
    if (Cancelled) {
        window_.AddLogLine(kCancelLine, kWarningIcon);
    }
    window_.SetProgressPosition(RoundedQuotient(BytesWritten, ProgressDivisor));
}

void TDiskWiper::ShowIdle() {
    window_.SetStopVisible(false);
    window_.SetStartVisible(true);
    window_.StopElapsedTime();
    window_.SetBackEnabled(true);
    window_.SetWipeRunning(false);
}

void TDiskWiper::SyncDiskFinished() {
    const bool stopped = Cancelled;
    Cancelled = false;
    if (!DriveRoot.empty()) {
        CleanTempFolder(DriveRoot[0]);
    }
    ResetLowDiskSpacePolicy(registry());
    ShowIdle();
    if (stopped) {
        window_.SetProgressPosition(0);
    } else {
        window_.SetProgressRange(0, 100);
        window_.SetProgressPosition(100);
    }
}

}  // namespace quenlo::freespace
