#include "app/MainWindowStore.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "app/ShellContract.h"
#include "platform/Process.h"

namespace quenlo::app {
namespace {

// Case-insensitive order with a byte-order tie-break. Letters are folded
// in ASCII only: names are bytes, and other bytes compare as they are.
bool ListOrder(const std::string& a, const std::string& b) {
    const auto folded = [](unsigned char c) { return std::tolower(c); };
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return folded(static_cast<unsigned char>(x)) < folded(static_cast<unsigned char>(y));
        });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [&](char x, char y) {
            return folded(static_cast<unsigned char>(x)) < folded(static_cast<unsigned char>(y));
        });
    return less || (!greater && a < b);
}

}  // namespace

void SaveLocation(platform::Registry& registry) {
    if (auto key = registry.openKey(shell::kProgramKey)) {
        key->writeString(shell::kLocationValue, platform::executablePath().string());
    }
}

std::vector<std::filesystem::path> ListedPathsToLoad(platform::Registry& registry,
                                                     platform::FileSystem& files) {
    auto key = registry.openKey(shell::kShredListKey);
    if (!key) {
        return {};
    }
    std::vector<std::string> names = key->valueNames();
    std::sort(names.begin(), names.end(), ListOrder);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<std::filesystem::path> kept;
    for (const std::string& name : names) {
        // An existing file or folder: its attributes can be read.
        if (files.getAttributes(name) != platform::InvalidFileAttributes) {
            kept.emplace_back(name);
        }
    }
    return kept;
}

}  // namespace quenlo::app
