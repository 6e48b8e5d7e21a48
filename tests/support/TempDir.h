#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace quenlo::test {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

std::string ReadAll(const std::filesystem::path& file);
void WriteAll(const std::filesystem::path& file, const std::string& content);
// How often `marker` occurs in the file (a raw device image, say).
std::size_t CountInFile(const std::filesystem::path& file, const std::string& marker);

}  // namespace quenlo::test
