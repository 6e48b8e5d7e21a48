#pragma once

// What the Shred list asks the file system about a path.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/FileSystem.h"

namespace quenlo::shredlist {

// True when the entry at `path` itself is a folder (a link to a folder is
// not). False when there is nothing there.
bool IsFolder(const std::filesystem::path& path,
              platform::FileSystem& files = platform::systemFileSystem());

// The size of the entry at `path`: a file's size in bytes, 0 for a folder,
// -1 when nothing is found.
std::int64_t GetEntrySize(const std::filesystem::path& path,
                          platform::FileSystem& files = platform::systemFileSystem());

// True when the folder holds at least one entry that is not a folder
// (hidden, system and read-only files count).
bool FolderHasFiles(const std::filesystem::path& path,
                    platform::FileSystem& files = platform::systemFileSystem());

// The folder part of a path with its trailing separator ("/a/" for "/a/b"),
// and the last component ("b"); empty parts for a path without a separator.
std::filesystem::path FolderPart(const std::filesystem::path& path);
std::filesystem::path NamePart(const std::filesystem::path& path);

// Compares texts with the letters A-Z folded and every other byte by its
// code: -1, 0 or 1.
int CompareFolded(const std::string& a, const std::string& b);

// The Size column's text: "1.5 KB", "1023 bytes", "5120 GB". At most two
// decimals, rounded half away from zero, trailing zeros dropped, no
// thousands separator; `decimalSeparator` is the user's.
std::string FormatSize(std::int64_t size, const std::string& decimalSeparator = ".");

}  // namespace quenlo::shredlist
