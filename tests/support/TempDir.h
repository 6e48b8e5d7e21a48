#pragma once

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

}  // namespace quenlo::test
