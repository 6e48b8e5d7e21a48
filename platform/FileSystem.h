#pragma once

// File services, shaped after the Windows file API (CreateFileW, WriteFile,
// SetFilePointerEx, GetFileSizeEx, FlushFileBuffers, SetEndOfFile, the
// attribute calls, MoveFileW, DeleteFileW, the folder calls and
// FindFirstFileW/FindNextFileW). The engine only ever talks to this
// interface, so tests can put a recording or failing layer in front of the
// real one.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

namespace quenlo::platform {

// Attribute bits with the values of the Windows FILE_ATTRIBUTE_* constants.
namespace FileAttribute {
inline constexpr std::uint32_t ReadOnly = 0x1;
inline constexpr std::uint32_t Hidden = 0x2;
inline constexpr std::uint32_t System = 0x4;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
// A symbolic link, or a folder on which another file system is mounted
// (reported, as on Windows, as Directory | ReparsePoint). A link is
// reported as a link, never as what it points to.
inline constexpr std::uint32_t ReparsePoint = 0x400;
}  // namespace FileAttribute

// What GetFileAttributesW returns when there is nothing to read.
inline constexpr std::uint32_t InvalidFileAttributes = 0xFFFFFFFFu;

// An open file handle. Every call reports success; none throws.
class File {
public:
    virtual ~File() = default;

    // WriteFile: writes all `size` bytes at the current position (a partial
    // write is continued). False on an error, after which some of the bytes
    // may have been written.
    virtual bool write(const void* data, std::size_t size) = 0;

    // SetFilePointerEx(FILE_BEGIN).
    virtual bool seek(std::uint64_t offset) = 0;

    // WriteFile with an OVERLAPPED offset: writes `size` bytes at `offset`
    // without using or moving the current position, continuing partial
    // writes. Returns how many bytes were written; when that is less than
    // `size`, `error` says why (IsDiskFull tells a full medium from other
    // errors).
    virtual std::size_t writeAt(std::uint64_t offset, const void* data, std::size_t size,
                                std::error_code& error) = 0;

    // GetFileSizeEx: the size of the open file itself, not of whatever the
    // path names now. Empty on an error.
    virtual std::optional<std::uint64_t> size() = 0;

    // FlushFileBuffers: returns once the written data has reached the medium.
    virtual bool flush() = 0;

    // SetFilePointerEx + SetEndOfFile: cuts or extends the file to `size`.
    virtual bool setSize(std::uint64_t size) = 0;

    // CloseHandle. The destructor closes a handle that is still open.
    virtual bool close() = 0;

    // Asks the system to start writing the given range to the medium without
    // waiting for it, so that write-back overlaps further writes instead of
    // all of it waiting for flush(). A hint only: an implementation without
    // such a call does nothing.
    virtual void startWriteBack(std::uint64_t /*offset*/, std::uint64_t /*length*/) {}
};

// One entry of a folder listing (WIN32_FIND_DATAW).
struct FindData {
    std::filesystem::path name;  // the entry's own name, no folder part
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// A running FindFirstFileW/FindNextFileW search over one folder. Lists every
// entry, hidden ones included, never "." or "..", each with its own type:
// a link is not followed.
class DirectorySearch {
public:
    virtual ~DirectorySearch() = default;
    // The next entry; false when there are no more (or on an error).
    virtual bool next(FindData& entry) = 0;
};

// Which folder a handle stands for: volume and file index (st_dev/st_ino on
// POSIX, the volume serial number and file index on Windows).
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// An open folder that other folders are opened relative to, so walks need
// no path longer than one name (openat on POSIX, NtCreateFile with a root
// directory handle on Windows) and hold one handle however deep they go.
class Folder {
public:
    virtual ~Folder() = default;

    // The subfolder `name` of this folder. Null when it cannot be opened, is
    // not a folder (a link is never followed), or lies on another file system
    // (a mount point is never entered).
    virtual std::unique_ptr<Folder> openChild(const std::filesystem::path& name) = 0;

    // The folder that holds this one (".."); null on failure.
    virtual std::unique_ptr<Folder> openParent() = 0;

    // Lists this folder's entries, as FileSystem::findFirst does.
    virtual std::unique_ptr<DirectorySearch> search() = 0;

    virtual FolderIdentity identity() const = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // CreateFileW(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ |
    // FILE_SHARE_WRITE, OPEN_EXISTING) with the link not followed: opens an
    // existing regular file for reading and writing. A link, folder, FIFO,
    // socket or device is refused without being opened for I/O, so the call
    // never blocks and never writes through a link. Null with `error` set on
    // failure.
    virtual std::unique_ptr<File> openExisting(const std::filesystem::path& path,
                                               std::error_code& error) = 0;

    // CreateFileW(GENERIC_WRITE, CREATE_NEW): creates a new regular file;
    // fails when anything of that name exists. Null with `error` set on failure.
    virtual std::unique_ptr<File> createNew(const std::filesystem::path& path,
                                            std::error_code& error) = 0;

    // CreateFileW(GENERIC_READ | GENERIC_WRITE, no sharing, CREATE_ALWAYS):
    // creates the file, or cuts an existing regular file of that name to
    // length 0. A link is never followed and anything but a regular file is
    // refused. Null with `error` set on failure.
    virtual std::unique_ptr<File> createAlways(const std::filesystem::path& path,
                                               std::error_code& error) = 0;

    // GetFileAttributesW: the entry's own attributes (a link is not followed),
    // or InvalidFileAttributes when it cannot be read.
    virtual std::uint32_t getAttributes(const std::filesystem::path& path) = 0;

    // SetFileAttributesW. Never changes the target of a link.
    virtual bool setAttributes(const std::filesystem::path& path, std::uint32_t attributes) = 0;

    // MoveFileW: renames a file or folder. Never replaces an existing entry:
    // fails when `to` exists.
    virtual bool move(const std::filesystem::path& from, const std::filesystem::path& to) = 0;

    // DeleteFileW: removes a file or a link (the link itself); fails on folders.
    virtual bool deleteFile(const std::filesystem::path& path) = 0;

    // CreateDirectoryW / RemoveDirectoryW (the folder must be empty).
    virtual bool createDirectory(const std::filesystem::path& path) = 0;
    virtual bool removeDirectory(const std::filesystem::path& path) = 0;

    // FlushFileBuffers on the volume that holds `path`: returns once every
    // change on that volume, its metadata included, has reached the medium
    // (syncfs on POSIX). False on an error.
    virtual bool flushVolume(const std::filesystem::path& path) = 0;

    // FindFirstFileW over every entry of `folder`. Null when the folder
    // cannot be listed.
    virtual std::unique_ptr<DirectorySearch> findFirst(const std::filesystem::path& folder) = 0;

    // FindFirstFileW on the path itself: the entry's own data (a link is
    // not followed), with its name; empty when there is no such entry.
    virtual std::optional<FindData> findEntry(const std::filesystem::path& path) = 0;

    // Opens a folder for a walk, not following a link at the last component.
    // Null on failure.
    virtual std::unique_ptr<Folder> openFolder(const std::filesystem::path& folder) = 0;
};

// True when `error` says the medium (or the user's quota on it) is full
// (ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL; ENOSPC, EDQUOT, EFBIG on POSIX).
bool IsDiskFull(const std::error_code& error);

// The machine's real file system.
FileSystem& systemFileSystem();

}  // namespace quenlo::platform
