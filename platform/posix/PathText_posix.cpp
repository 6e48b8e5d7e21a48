#include "platform/PathText.h"

namespace quenlo::platform {

std::string pathToNativeText(const std::filesystem::path& path) {
    return path.native();
}

std::filesystem::path nativeTextToPath(const std::string& text) {
    return std::filesystem::path(text);
}

}  // namespace quenlo::platform
