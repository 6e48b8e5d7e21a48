#pragma once

// The program's file version as the update page wants it.

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileVersion.h"

namespace quenlo::app {

// "%u.%u.%u.%u": major, minor, release and build from the high and low
// halves of the record's file version words; empty without a record.
std::string FileVersionText(const std::optional<platform::FixedFileInfo>& info);

// The running executable's version text (empty when it has none).
std::string RunningFileVersionText();

// The update page for a version text: "quenlo_update.php?sversion=" and
// the text, on the web site.
std::string UpdatePageAddress(std::string_view versionText);

}  // namespace quenlo::app
