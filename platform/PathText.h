#pragma once

// Paths cross into places that hold text (registry value names) in the
// platform's narrow encoding: the name's bytes as they are on POSIX, so any
// byte sequence a file name may hold survives the round trip.

#include <filesystem>
#include <string>

namespace quenlo::platform {

std::string pathToNativeText(const std::filesystem::path& path);
std::filesystem::path nativeTextToPath(const std::string& text);

}  // namespace quenlo::platform
