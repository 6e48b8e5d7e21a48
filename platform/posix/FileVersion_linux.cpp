#include "platform/FileVersion.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace quenlo::platform {
namespace {

template <typename T>
bool ReadAt(std::ifstream& file, std::uint64_t offset, T& out) {
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(&out), sizeof out);
    return static_cast<bool>(file);
}

}  // namespace

std::optional<FixedFileInfo> ReadFixedFileVersion(const std::filesystem::path& executable) {
    std::ifstream file(executable, std::ios::binary);
    Elf64_Ehdr header{};
    if (!file || !ReadAt(file, 0, header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) ||
        header.e_shnum == 0 || header.e_shstrndx >= header.e_shnum) {
        return std::nullopt;
    }
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    file.seekg(static_cast<std::streamoff>(header.e_shoff));
    file.read(reinterpret_cast<char*>(sections.data()),
              static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr)));
    if (!file) {
        return std::nullopt;
    }
    const Elf64_Shdr& namesSection = sections[header.e_shstrndx];
    if (namesSection.sh_size > (std::uint64_t{1} << 24)) {
        return std::nullopt;
    }
    std::string names(namesSection.sh_size, '\0');
    file.seekg(static_cast<std::streamoff>(namesSection.sh_offset));
    file.read(names.data(), static_cast<std::streamsize>(names.size()));
    if (!file) {
        return std::nullopt;
    }
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= names.size() ||
            std::strcmp(names.c_str() + section.sh_name, kVersionSection) != 0) {
            continue;
        }
        FixedFileInfo info{};
        if (section.sh_type != SHT_PROGBITS || section.sh_size < sizeof info ||
            !ReadAt(file, section.sh_offset, info) || info.dwSignature != kFixedFileInfoSignature) {
            return std::nullopt;
        }
        return info;
    }
    return std::nullopt;
}

}  // namespace quenlo::platform
