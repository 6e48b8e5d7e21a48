#include "tests/support/PosixFixtures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

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

bool MakeDeepTree(const std::filesystem::path& root, const std::string& name, int depth,
                  const std::string& leaf) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; fd >= 0 && i < depth; ++i) {
        ::mkdirat(fd, name.c_str(), 0700);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
    }
    if (fd < 0) {
        return false;
    }
    const int file = ::openat(fd, leaf.c_str(), O_WRONLY | O_CREAT, 0600);
    ::close(fd);
    if (file < 0) {
        return false;
    }
    ::close(file);
    return true;
}

bool RemoveDeepTree(const std::filesystem::path& root, const std::string& name, int depth,
                    const std::string& leaf) {
    std::vector<int> fds{::open(root.c_str(), O_RDONLY | O_DIRECTORY)};
    for (int i = 0; fds.back() >= 0 && i < depth; ++i) {
        fds.push_back(::openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    }
    bool ok = fds.back() >= 0;
    if (ok) {
        ::unlinkat(fds.back(), leaf.c_str(), 0);
    }
    for (std::size_t i = fds.size() - 1; i > 0; --i) {
        if (fds[i] >= 0) {
            ::close(fds[i]);
        }
        ok = ::unlinkat(fds[i - 1], name.c_str(), AT_REMOVEDIR) == 0 && ok;
    }
    ::close(fds[0]);
    return ok;
}

LoopMount::LoopMount(const std::string& type, int sizeMiB, const std::string& label)
    : type_(type) {
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
    if (type == "tmpfs") {
        image_.clear();
        mounted_ = Run("mount -t tmpfs -o size=" + std::to_string(sizeMiB) + "m tmpfs " +
                       Quote(mountPoint_));
        if (!mounted_) {
            whyNot_ = "cannot mount a tmpfs here";
        }
        return;
    }
    const std::string mkfs = type == "vfat" ? "mkfs.vfat " + Quote(image_)
                                            : "mkfs.ext4 -q -F -E nodiscard " +
                                                  (label.empty() ? "" : "-L " + Quote(label) + " ") +
                                                  Quote(image_);
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
    if (!mounted_ && !image_.empty()) {
        // No discard: freed blocks must keep what was written to them, so a
        // test can look for remains in the image.
        const std::string options = type_ == "ext4" ? "loop,nodiscard" : "loop";
        mounted_ = Run("mount -t " + type_ + " -o " + options + " " + Quote(image_) + " " +
                       Quote(mountPoint_) + " 2>/dev/null");
    }
    return mounted_;
}

bool LoopMount::setReadOnly(bool readOnly) {
    return mounted_ && Run("mount -o remount," + std::string(readOnly ? "ro " : "rw ") +
                           Quote(mountPoint_));
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
