#include "app/Prompts.h"

namespace quenlo::app {
namespace {
Prompts* current = nullptr;
}

Prompts* CurrentPrompts() {
    return current;
}
void SetCurrentPrompts(Prompts* prompts) {
    current = prompts;
}

}  // namespace quenlo::app
