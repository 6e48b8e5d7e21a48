#pragma once

// The fixed file version of an executable: GetFileVersionInfoW and
// VerQueryValueW("\\") on Windows, which return the VS_FIXEDFILEINFO record
// of the file's version resource.
//
// Linux executables have no version resource. The build puts the same
// record, signature and all, into a section of its own in the executable
// (kVersionSection, see app/VersionResource_linux.cpp), and the reader finds
// it there through the ELF section table of the file on disk, as Windows
// finds the resource in the file.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quenlo::platform {

// VS_FIXEDFILEINFO, field by field.
struct FixedFileInfo {
    std::uint32_t dwSignature;
    std::uint32_t dwStrucVersion;
    std::uint32_t dwFileVersionMS;  // major << 16 | minor
    std::uint32_t dwFileVersionLS;  // release << 16 | build
    std::uint32_t dwProductVersionMS;
    std::uint32_t dwProductVersionLS;
    std::uint32_t dwFileFlagsMask;
    std::uint32_t dwFileFlags;
    std::uint32_t dwFileOS;
    std::uint32_t dwFileType;
    std::uint32_t dwFileSubtype;
    std::uint32_t dwFileDateMS;
    std::uint32_t dwFileDateLS;
};

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BDu;
inline constexpr std::uint32_t kFixedFileInfoStrucVersion = 0x00010000u;
// VFT_APP
inline constexpr std::uint32_t kFileTypeApplication = 1;

// The ELF section that holds the record on Linux.
#define QUENLO_VERSION_SECTION ".quenlo_version"
inline constexpr const char* kVersionSection = QUENLO_VERSION_SECTION;

// The record of `executable`; nothing when the file cannot be read, has no
// version record, or the record's signature is wrong.
std::optional<FixedFileInfo> ReadFixedFileVersion(const std::filesystem::path& executable);

}  // namespace quenlo::platform
