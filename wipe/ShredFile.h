#pragma once

// Per-file shredding.
//
// Threat model: someone who later reads the disk below the file system (an
// undelete tool, a raw image of the drive) must find neither the file's
// content nor its name. So the content is overwritten in place, pass by pass,
// each pass flushed to the medium before the next; the file is then cut to
// length 0, renamed to a throw-away name and deleted. What this cannot
// reach: copies the file system keeps elsewhere (journals in data mode,
// snapshots, copy-on-write file systems, wear-levelled flash), which the
// free-space wipe narrows but cannot close.
//
// Nothing else may ever be harmed: a link is removed itself and its target is
// not touched; FIFOs, sockets and devices are refused; a throw-away name that
// happens to exist is never replaced.

#include <cstdint>
#include <filesystem>

namespace quenlo::wipe {

// Shreds one file with ShredMethod (ShredRepeatCount times for methods 0..3)
// and returns true when no file of that name exists any longer. False when
// the method index is outside 0..4 (nothing is done), when the file could not
// be opened, overwritten or removed, or after a cancel (the file then stays
// under its own name with length 0). Never throws.
bool ShredFile(const std::filesystem::path& fileName);

// The method routines. They throw std::system_error when the file cannot be
// opened (nothing is changed then) or cannot be overwritten (the file is kept
// under its own name, not cut, so it can be shredded again).
void ShredSimpleOnePass(const std::filesystem::path& fileName, std::int32_t repeatCount);
void ShredSimpleTwoPass(const std::filesystem::path& fileName, std::int32_t repeatCount);
void ShredDoD(const std::filesystem::path& fileName, std::int32_t repeatCount);
void ShredMilitary(const std::filesystem::path& fileName, std::int32_t repeatCount);
void ShredGutmann(const std::filesystem::path& fileName);

// True while a file (not a folder) of that name exists. An entry whose
// attributes cannot be read counts as existing when its folder's listing
// still shows it.
bool FileStillExists(const std::filesystem::path& fileName);

}  // namespace quenlo::wipe
