#pragma once

// Test-only helpers for fixtures that need operating-system calls the
// program itself never makes.

#include <filesystem>
#include <string>

namespace quenlo::test {

bool IsRoot();
bool MakeFifo(const std::filesystem::path& path);
// Runs a shell command; true when it exits 0.
bool Run(const std::string& command);
std::string Quote(const std::filesystem::path& path);
// Sets or clears the file system's immutable flag (chattr +i / -i).
bool SetImmutable(const std::filesystem::path& path, bool immutable);
void SetEnvironment(const char* name, const std::filesystem::path& value);

// Makes `depth` nested folders named `name` under `root` with an empty file
// `leaf` at the bottom, and removes such a tree again, both through folder
// handles, so the depth may go beyond the longest path the system accepts.
bool MakeDeepTree(const std::filesystem::path& root, const std::string& name, int depth,
                  const std::string& leaf);
bool RemoveDeepTree(const std::filesystem::path& root, const std::string& name, int depth,
                    const std::string& leaf);

// A small file system in an image file, loop-mounted by the test itself.
// Needs root; `mounted()` tells whether it worked.
class LoopMount {
public:
    // type: "ext4" or "vfat" (an image file), or "tmpfs" (no image: it
    // cannot be remounted); sizeMiB: the size; label: the volume label an
    // ext4 image is made with.
    LoopMount(const std::string& type, int sizeMiB, const std::string& label = "");
    ~LoopMount();
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    const std::filesystem::path& root() const { return mountPoint_; }
    const std::filesystem::path& image() const { return image_; }
    // Unmounts (so the image holds everything that was written) and mounts
    // again; true on success.
    bool unmount();
    bool remount();
    // Mounts it read-only (or writable again) in place.
    bool setReadOnly(bool readOnly);

private:
    std::filesystem::path folder_;
    std::filesystem::path image_;
    std::filesystem::path mountPoint_;
    std::string type_;
    bool mounted_ = false;
    std::string whyNot_;
};

}  // namespace quenlo::test
