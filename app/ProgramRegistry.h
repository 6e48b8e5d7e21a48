#pragma once

#include "platform/Registry.h"

namespace quenlo::app {

// The registry the program keeps its settings and lists in: the current
// user's, unless a test has put a store of its own in place.
platform::Registry& ProgramRegistry();
void SetProgramRegistry(platform::Registry* registry);

}  // namespace quenlo::app
