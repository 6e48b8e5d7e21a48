#include "app/FileVersion.h"

#include <cstdio>

#include "app/WebSite.h"
#include "platform/Process.h"

namespace quenlo::app {

std::string FileVersionText(const std::optional<platform::FixedFileInfo>& info) {
    if (!info) {
        return {};
    }
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", info->dwFileVersionMS >> 16,
                  info->dwFileVersionMS & 0xFFFFu, info->dwFileVersionLS >> 16,
                  info->dwFileVersionLS & 0xFFFFu);
    return text;
}

std::string RunningFileVersionText() {
    return FileVersionText(platform::ReadFixedFileVersion(platform::executablePath()));
}

std::string UpdatePageAddress(std::string_view versionText) {
    return WebPage(std::string(kUpdatePage) + std::string(versionText));
}

}  // namespace quenlo::app
