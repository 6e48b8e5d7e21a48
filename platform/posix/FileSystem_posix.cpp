// POSIX file services.
//
// Windows concepts without a direct POSIX counterpart are mapped as follows:
//   READONLY   the owner has no write permission (setting it removes every
//              write bit, clearing it gives the owner write permission back)
//   HIDDEN     the name begins with a dot
//   SYSTEM     the entry is a device, FIFO or socket
//   ARCHIVE    always set on regular files (POSIX keeps no such bit)
//   REPARSE_POINT  a symbolic link
// On FAT file systems, which keep real DOS attributes, those are read and
// written through the FAT attribute ioctls instead.

#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

namespace quenlo::platform {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
};

#ifndef STATX_MNT_ID
#define STATX_MNT_ID 0x00001000U
#endif

// The mount an entry belongs to: the mount id where the kernel tells it (which
// also tells bind mounts apart), else the device. Empty on failure.
std::optional<std::uint64_t> mountOf(int dirFd, const char* name, int flags) {
    struct statx info {};
    if (::statx(dirFd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_MNT_ID | STATX_TYPE, &info) != 0) {
        return std::nullopt;
    }
    if ((info.stx_mask & STATX_MNT_ID) != 0) {
        return info.stx_mnt_id;
    }
    return (static_cast<std::uint64_t>(info.stx_dev_major) << 32) | info.stx_dev_minor;
}

std::string procFdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

bool isFatFileSystem(int fd) {
    struct statfs info {};
    return ::fstatfs(fd, &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
}

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { close(); }

    bool write(const void* data, std::size_t size) override {
        auto* bytes = static_cast<const unsigned char*>(data);
        while (size > 0) {
            const ssize_t written = ::write(fd_, bytes, size);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (written == 0) {
                return false;
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    bool seek(std::uint64_t offset) override {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
    }

    std::size_t writeAt(std::uint64_t offset, const void* data, std::size_t size,
                        std::error_code& error) override {
        auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t done = 0;
        error.clear();
        while (done < size) {
            const ssize_t written =
                ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                error = lastError();
                break;
            }
            if (written == 0) {
                error = std::make_error_code(std::errc::no_space_on_device);
                break;
            }
            done += static_cast<std::size_t>(written);
        }
        return done;
    }

    std::optional<std::uint64_t> size() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(info.st_size);
    }

    bool flush() override { return ::fdatasync(fd_) == 0; }

    bool setSize(std::uint64_t size) override {
        return ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
    }

    bool close() override {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(std::exchange(fd_, -1));
        return result == 0;
    }

    void startWriteBack(std::uint64_t offset, std::uint64_t length) override {
        ::sync_file_range(fd_, static_cast<off64_t>(offset), static_cast<off64_t>(length),
                          SYNC_FILE_RANGE_WRITE);
    }

private:
    int fd_;
};

std::uint32_t attributesFromStat(const struct stat& info, const std::filesystem::path& name,
                                 bool mountPoint = false) {
    std::uint32_t attributes = 0;
    if (S_ISLNK(info.st_mode)) {
        attributes |= FileAttribute::ReparsePoint;
    } else if (S_ISDIR(info.st_mode)) {
        attributes |= FileAttribute::Directory;
        if (mountPoint) {
            attributes |= FileAttribute::ReparsePoint;
        }
    } else if (S_ISREG(info.st_mode)) {
        attributes |= FileAttribute::Archive;
    } else {
        attributes |= FileAttribute::System;
    }
    if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
        attributes |= FileAttribute::ReadOnly;
    }
    const std::string& text = name.native();
    if (!text.empty() && text[0] == '.' && text != "." && text != "..") {
        attributes |= FileAttribute::Hidden;
    }
    return attributes == 0 ? FileAttribute::Normal : attributes;
}

// Opens the entry itself (a link is not followed) without any I/O access.
FileDescriptor openPathOnly(const std::filesystem::path& path) {
    return FileDescriptor(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

class PosixDirectorySearch final : public DirectorySearch {
public:
    explicit PosixDirectorySearch(DIR* dir)
        : dir_(dir), mount_(mountOf(::dirfd(dir), "", AT_EMPTY_PATH)) {}
    ~PosixDirectorySearch() override { ::closedir(dir_); }

    bool next(FindData& entry) override {
        for (;;) {
            errno = 0;
            const dirent* item = ::readdir(dir_);
            if (item == nullptr) {
                return false;
            }
            const std::string_view name(item->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            struct stat info {};
            entry.name = std::filesystem::path(std::string(name));
            if (::fstatat(::dirfd(dir_), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                // Gone since the listing was read, or unreadable: still an entry.
                entry.attributes = FileAttribute::Normal;
                entry.size = 0;
                return true;
            }
            bool mountPoint = false;
            if (S_ISDIR(info.st_mode) && mount_) {
                mountPoint = mountOf(::dirfd(dir_), item->d_name, 0) != mount_;
            }
            entry.attributes = attributesFromStat(info, entry.name, mountPoint);
            entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
            return true;
        }
    }

private:
    DIR* dir_;
    std::optional<std::uint64_t> mount_;
};

std::unique_ptr<DirectorySearch> searchFolderFd(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixDirectorySearch>(dir);
}

class PosixFolder final : public Folder {
public:
    PosixFolder(int fd, FolderIdentity identity, std::optional<std::uint64_t> mount)
        : fd_(fd), identity_(identity), mount_(mount) {}

    // Wraps an open folder descriptor; null when it is not a folder.
    static std::unique_ptr<Folder> adopt(int fd) {
        FileDescriptor owned(fd);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) {
            return nullptr;
        }
        const FolderIdentity identity{static_cast<std::uint64_t>(info.st_dev),
                                      static_cast<std::uint64_t>(info.st_ino)};
        const auto mount = mountOf(fd, "", AT_EMPTY_PATH);
        return std::make_unique<PosixFolder>(owned.release(), identity, mount);
    }

    std::unique_ptr<Folder> openChild(const std::filesystem::path& name) override {
        auto child = adopt(::openat(fd_.get(), name.c_str(), kFolderFlags | O_NOFOLLOW));
        if (child && static_cast<PosixFolder&>(*child).mount_ != mount_) {
            return nullptr;  // another file system is mounted there
        }
        return child;
    }

    std::unique_ptr<Folder> openParent() override {
        return adopt(::openat(fd_.get(), "..", kFolderFlags));
    }

    std::unique_ptr<DirectorySearch> search() override {
        const int fd = ::openat(fd_.get(), ".", kFolderFlags);
        if (fd < 0) {
            return nullptr;
        }
        return searchFolderFd(fd);
    }

    FolderIdentity identity() const override { return identity_; }

    static constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

private:
    FileDescriptor fd_;
    FolderIdentity identity_;
    std::optional<std::uint64_t> mount_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> openExisting(const std::filesystem::path& path,
                                       std::error_code& error) override {
        // Look at the entry first through a handle that allows no I/O, so a
        // FIFO or device is never opened for real (which could block or have
        // side effects) and a link is never followed.
        FileDescriptor entry = openPathOnly(path);
        if (entry.get() < 0) {
            error = lastError();
            return nullptr;
        }
        struct stat info {};
        if (::fstat(entry.get(), &info) != 0) {
            error = lastError();
            return nullptr;
        }
        if (!S_ISREG(info.st_mode)) {
            error =
                std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                           : std::errc::operation_not_supported);
            return nullptr;
        }
        // Reopen that very inode for reading and writing. Where /proc is not
        // mounted, open the path again, still refusing links and checking the
        // type of what was opened.
        int fd = ::open(procFdPath(entry.get()).c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        }
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        FileDescriptor opened(fd);
        struct stat openedInfo {};
        if (::fstat(fd, &openedInfo) != 0 || !S_ISREG(openedInfo.st_mode) ||
            openedInfo.st_ino != info.st_ino || openedInfo.st_dev != info.st_dev) {
            error = std::make_error_code(std::errc::operation_not_supported);
            return nullptr;
        }
        error.clear();
        return std::make_unique<PosixFile>(opened.release());
    }

    std::unique_ptr<File> createNew(const std::filesystem::path& path,
                                    std::error_code& error) override {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        error.clear();
        return std::make_unique<PosixFile>(fd);
    }

    std::unique_ptr<File> createAlways(const std::filesystem::path& path,
                                       std::error_code& error) override {
        // O_NONBLOCK so that a FIFO put in the file's place cannot block the
        // open; the type check below refuses it before any I/O. Mode 0600 is
        // the closest POSIX comes to "no sharing": no other user can open it.
        const int fd = ::open(path.c_str(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                              0600);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        FileDescriptor opened(fd);
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            error = lastError();
            return nullptr;
        }
        if (!S_ISREG(info.st_mode)) {
            error = std::make_error_code(std::errc::operation_not_supported);
            return nullptr;
        }
        if (::ftruncate(fd, 0) != 0) {
            error = lastError();
            return nullptr;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        }
        error.clear();
        return std::make_unique<PosixFile>(opened.release());
    }

    std::uint32_t getAttributes(const std::filesystem::path& path) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            return InvalidFileAttributes;
        }
        if (!S_ISLNK(info.st_mode) && (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
            if (auto fat = fatAttributes(path)) {
                return *fat;
            }
        }
        bool mountPoint = false;
        if (S_ISDIR(info.st_mode)) {
            const auto own = mountOf(AT_FDCWD, path.c_str(), 0);
            const std::filesystem::path parent = (path / "..").lexically_normal();
            const auto above = mountOf(AT_FDCWD, (path / "..").c_str(), 0);
            mountPoint = own && above && own != above && parent != path.lexically_normal();
        }
        return attributesFromStat(info, path.filename(), mountPoint);
    }

    bool setAttributes(const std::filesystem::path& path, std::uint32_t attributes) override {
        FileDescriptor entry = openPathOnly(path);
        if (entry.get() < 0) {
            return false;
        }
        struct stat info {};
        if (::fstat(entry.get(), &info) != 0) {
            return false;
        }
        if (S_ISLNK(info.st_mode)) {
            return true;  // a link has no attributes of its own here
        }
        if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
            if (auto handled = setFatAttributes(path, info, attributes)) {
                return *handled;
            }
        }
        mode_t mode = info.st_mode & 07777;
        if ((attributes & FileAttribute::ReadOnly) != 0) {
            mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
        } else {
            mode |= S_IWUSR;
        }
        if (mode == (info.st_mode & 07777)) {
            return true;
        }
        // chmod through the handle's /proc entry, so the entry that was
        // checked above is the one changed, even if the path changes meanwhile.
        if (::chmod(procFdPath(entry.get()).c_str(), mode) == 0) {
            return true;
        }
        return errno == ENOENT && ::fchmodat(AT_FDCWD, path.c_str(), mode, 0) == 0;
    }

    bool move(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            return false;
        }
        // The file system does not support a rename that refuses to replace.
        // A hard link fails when the name exists, so link + unlink is safe;
        // where links are not possible either, check and rename.
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0) {
                return true;
            }
            ::unlink(to.c_str());
            return false;
        }
        if (errno == EEXIST) {
            return false;
        }
        struct stat info {};
        if (::lstat(to.c_str(), &info) == 0 || errno != ENOENT) {
            return false;
        }
        return ::rename(from.c_str(), to.c_str()) == 0;
    }

    bool deleteFile(const std::filesystem::path& path) override {
        return ::unlink(path.c_str()) == 0;
    }

    bool createDirectory(const std::filesystem::path& path) override {
        return ::mkdir(path.c_str(), 0777) == 0;
    }

    bool flushVolume(const std::filesystem::path& path) override {
        FileDescriptor entry(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
        return entry.get() >= 0 && ::syncfs(entry.get()) == 0;
    }

    bool removeDirectory(const std::filesystem::path& path) override {
        return ::rmdir(path.c_str()) == 0;
    }

    std::unique_ptr<DirectorySearch> findFirst(const std::filesystem::path& folder) override {
        const int fd = ::open(folder.c_str(), PosixFolder::kFolderFlags | O_NOFOLLOW);
        if (fd < 0) {
            return nullptr;
        }
        return searchFolderFd(fd);
    }

    std::optional<FindData> findEntry(const std::filesystem::path& path) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            return std::nullopt;
        }
        FindData entry;
        entry.name = path.filename();
        entry.attributes = getAttributes(path);
        if (entry.attributes == InvalidFileAttributes) {
            return std::nullopt;
        }
        entry.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
        return entry;
    }

    std::unique_ptr<Folder> openFolder(const std::filesystem::path& folder) override {
        return PosixFolder::adopt(::open(folder.c_str(), PosixFolder::kFolderFlags | O_NOFOLLOW));
    }

private:
    // The real DOS attributes of an entry on a FAT file system; empty elsewhere.
    static std::optional<std::uint32_t> fatAttributes(const std::filesystem::path& path) {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0 || !isFatFileSystem(fd.get())) {
            return std::nullopt;
        }
        std::uint32_t attributes = 0;
        if (::ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0) {
            return std::nullopt;
        }
        attributes &= ATTR_RO | ATTR_HIDDEN | ATTR_SYS | ATTR_DIR | ATTR_ARCH;
        return attributes == 0 ? FileAttribute::Normal : attributes;
    }

    // Sets the real DOS attributes on a FAT file system. Empty when the
    // entry is not on one, so the permission mapping applies instead.
    static std::optional<bool> setFatAttributes(const std::filesystem::path& path,
                                                const struct stat& info, std::uint32_t attributes) {
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0 || !isFatFileSystem(fd.get())) {
            return std::nullopt;
        }
        std::uint32_t fat = attributes & (ATTR_RO | ATTR_HIDDEN | ATTR_SYS | ATTR_ARCH);
        if (S_ISDIR(info.st_mode)) {
            fat |= ATTR_DIR;  // the kernel refuses to change the folder bit
        }
        return ::ioctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &fat) == 0;
    }
};

}  // namespace

bool IsDiskFull(const std::error_code& error) {
    if (error.category() != std::generic_category() &&
        error.category() != std::system_category()) {
        return false;
    }
    return error.value() == ENOSPC || error.value() == EDQUOT || error.value() == EFBIG;
}

FileSystem& systemFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace quenlo::platform
