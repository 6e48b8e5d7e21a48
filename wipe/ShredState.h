#pragma once

// The process-wide state of shredding: set by a Shred job before its first
// file, read by the per-file routines, and ShredCancelled set by the progress
// window's Cancel button.

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "wipe/ShredProgress.h"
#include "wipe/WipeMethods.h"

namespace quenlo::wipe {

inline std::int32_t ShredMethod = kDefaultWipeMethod;
inline std::int32_t ShredRepeatCount = 1;
// Atomic so that a signal handler or another thread may set it safely.
inline std::atomic<bool> ShredCancelled{false};

// The services shredding uses. `progress` is set while a progress window
// exists; the file system and clock are the real ones unless a test puts its
// own in place.
struct ShredServices {
    platform::FileSystem* files = &platform::systemFileSystem();
    platform::Clock* clock = &platform::systemClock();
    ShredProgress* progress = nullptr;
};

ShredServices& CurrentShredServices();

}  // namespace quenlo::wipe
