#pragma once

// What the main window keeps in and takes from the registry at its shows.

#include <filesystem>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace quenlo::app {

// Writes "Location" (REG_SZ) under the program key: the running
// executable's full path. Failures are silent.
void SaveLocation(platform::Registry& registry);

// The value names of the Shred list key that name an existing file (its
// attributes can be read) or folder, ordered by their text compared without
// regard to letter case (names equal that way keep their byte order, so two
// files that differ only in case are both listed). Names that are neither
// are left out; the key is not changed. An unreadable key gives nothing.
std::vector<std::filesystem::path> ListedPathsToLoad(platform::Registry& registry,
                                                     platform::FileSystem& files);

}  // namespace quenlo::app
