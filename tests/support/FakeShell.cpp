#include "tests/support/FakeShell.h"

namespace quenlo::test {

std::uint32_t FakeShell::attributes(const std::filesystem::path& path) {
    namespace sa = platform::ShellAttribute;
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return 0;
    }
    std::uint32_t attributes = sa::FileSystem;
    if (std::filesystem::is_directory(status)) {
        attributes |= sa::Folder | sa::FileSystemAncestor;
        for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
            if (entry.is_directory(error) && !entry.is_symlink(error)) {
                attributes |= sa::HasSubfolder;
                break;
            }
        }
    }
    return attributes;
}

}  // namespace quenlo::test
