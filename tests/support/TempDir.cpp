#include "tests/support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace quenlo::test {

TempDir::TempDir() {
    std::random_device device;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() /
                ("quenlo-test-" + std::to_string(device()) + std::to_string(device()));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back write permission first so that read-only subfolders go too.
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteAll(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::size_t CountInFile(const std::filesystem::path& file, const std::string& marker) {
    const std::string bytes = ReadAll(file);
    std::size_t count = 0;
    for (auto at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace quenlo::test
