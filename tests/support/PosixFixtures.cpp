#include "tests/support/PosixFixtures.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace quenlo::test {

bool IsRoot() {
    return ::geteuid() == 0;
}

bool MakeFifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string Quote(const std::filesystem::path& path) {
    std::string quoted = "'";
    for (char c : path.native()) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool SetImmutable(const std::filesystem::path& path, bool immutable) {
    return Run(std::string("chattr ") + (immutable ? "+i " : "-i ") + Quote(path) + " 2>/dev/null");
}

void SetEnvironment(const char* name, const std::filesystem::path& value) {
    ::setenv(name, value.c_str(), 1);
}

LoopMount::LoopMount(const std::string& type, int sizeMiB) : type_(type) {
    if (!IsRoot()) {
        whyNot_ = "needs root to loop-mount a " + type + " image";
        return;
    }
    char pattern[] = "/tmp/quenlo-loop-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        whyNot_ = "cannot make a temporary folder";
        return;
    }
    folder_ = pattern;
    image_ = folder_ / "image";
    mountPoint_ = folder_ / "mnt";
    std::filesystem::create_directory(mountPoint_);
    const std::string mkfs = type == "vfat" ? "mkfs.vfat " + Quote(image_)
                                            : "mkfs.ext4 -q -F -E nodiscard " + Quote(image_);
    if (!Run("truncate -s " + std::to_string(sizeMiB) + "M " + Quote(image_)) ||
        !Run(mkfs + " >/dev/null 2>&1")) {
        whyNot_ = "cannot make a " + type + " image (is mkfs." + type + " installed?)";
        return;
    }
    if (!remount()) {
        whyNot_ = Run("grep -qw " + type + " /proc/filesystems")
                      ? "cannot loop-mount a " + type + " image here (no loop devices?)"
                      : "this kernel has no " + type + " file system";
    }
}

bool LoopMount::remount() {
    if (!mounted_) {
        // No discard: freed blocks must keep what was written to them, so a
        // test can look for remains in the image.
        const std::string options = type_ == "ext4" ? "loop,nodiscard" : "loop";
        mounted_ = Run("mount -t " + type_ + " -o " + options + " " + Quote(image_) + " " +
                       Quote(mountPoint_) + " 2>/dev/null");
    }
    return mounted_;
}

bool LoopMount::unmount() {
    if (!mounted_) {
        return false;
    }
    mounted_ = !Run("umount " + Quote(mountPoint_));
    return !mounted_;
}

LoopMount::~LoopMount() {
    if (mounted_) {
        Run("umount -l " + Quote(mountPoint_));
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

}  // namespace quenlo::test
