#pragma once

#include <cstdint>

#include "wipe/WipeMethods.h"

namespace quenlo::app {

// The settings in force, one program-wide instance used on the user-interface
// thread. Starts with the built-in defaults.
struct TActiveSettings {
    std::int32_t DefaultAlgorithm = wipe::kDefaultWipeMethod;
    bool ConfirmShreddFiles = true;
    bool ConfirmAddRemoveFiles = true;
    bool AskAlgorithm = false;
};

inline TActiveSettings ActiveSettings;

}  // namespace quenlo::app
