#pragma once

// The desktop shell's services for showing files (SHGetFileInfoW, the
// desktop folder's ParseDisplayName, Explorer's "/select"). The interface is
// free of any toolkit so the core can use it; the implementation lives with
// the windows (platform/qt/).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quenlo::platform {

// Shell attribute bits with the values of the Windows SFGAO_* constants.
namespace ShellAttribute {
inline constexpr std::uint32_t HasSubfolder = 0x80000000u;
inline constexpr std::uint32_t FileSystem = 0x40000000u;
inline constexpr std::uint32_t Folder = 0x20000000u;
inline constexpr std::uint32_t FileSystemAncestor = 0x10000000u;
inline constexpr std::uint32_t Compressed = 0x04000000u;
inline constexpr std::uint32_t Hidden = 0x00080000u;
inline constexpr std::uint32_t ReadOnly = 0x00040000u;
inline constexpr std::uint32_t Share = 0x00020000u;
inline constexpr std::uint32_t Link = 0x00010000u;
// What the Shred list asks for.
inline constexpr std::uint32_t QueryMask = 0xF40F0000u;
}  // namespace ShellAttribute

class Shell {
public:
    virtual ~Shell() = default;

    // SHGetFileInfoW(SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES): the type name
    // the shell gives the path's kind of file; empty when it has none.
    virtual std::string typeName(const std::filesystem::path& path) = 0;

    // ParseDisplayName + GetAttributesOf for ShellAttribute::QueryMask.
    virtual std::uint32_t attributes(const std::filesystem::path& path) = 0;

    // SHGetFileInfoW(SHGFI_SYSICONINDEX | SHGFI_SMALLICON [| SHGFI_OPENICON]):
    // the index of the path's small icon in the shared system icon list, -1
    // when there is none.
    virtual std::int32_t iconIndex(const std::filesystem::path& path, bool open) = 0;

    // Explorer "/select": shows the entry in the file manager. False when
    // that could not be started.
    virtual bool showInFileManager(const std::filesystem::path& path) = 0;

    // ShellExecuteW("open") of a web address. False on failure.
    virtual bool openWebAddress(std::string_view address) = 0;
};

}  // namespace quenlo::platform
