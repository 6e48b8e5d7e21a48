// The executable's version resource on Linux: the fixed file version record
// in a section of its own, where platform::ReadFixedFileVersion looks for it.
// The numbers come from the project version (CMakeLists.txt), the one place
// they are written. Every executable that reports a version links this file.

#include "platform/FileVersion.h"

namespace {

constexpr std::uint32_t kMostSignificant =
    std::uint32_t{QUENLO_VERSION_MAJOR} << 16 | std::uint32_t{QUENLO_VERSION_MINOR};
constexpr std::uint32_t kLeastSignificant =
    std::uint32_t{QUENLO_VERSION_PATCH} << 16 | std::uint32_t{QUENLO_VERSION_TWEAK};

}  // namespace

extern "C" __attribute__((section(QUENLO_VERSION_SECTION), used))
const quenlo::platform::FixedFileInfo quenlo_version_resource = {
    quenlo::platform::kFixedFileInfoSignature,
    quenlo::platform::kFixedFileInfoStrucVersion,
    kMostSignificant,
    kLeastSignificant,
    kMostSignificant,
    kLeastSignificant,
    0x3F,  // VS_FFI_FILEFLAGSMASK
    0,
    0x40004,  // VOS_NT_WINDOWS32, the value the Windows build carries
    quenlo::platform::kFileTypeApplication,
    0,
    0,
    0,
};
