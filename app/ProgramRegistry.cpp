#include "app/ProgramRegistry.h"

namespace quenlo::app {
namespace {
platform::Registry* override = nullptr;
}

platform::Registry& ProgramRegistry() {
    return override ? *override : platform::currentUserRegistry();
}

void SetProgramRegistry(platform::Registry* registry) {
    override = registry;
}

}  // namespace quenlo::app
