#include "shredlist/PathInfo.h"

#include <algorithm>

namespace quenlo::shredlist {

bool IsFolder(const std::filesystem::path& path, platform::FileSystem& files) {
    const auto entry = files.findEntry(path);
    return entry && (entry->attributes & platform::FileAttribute::Directory) != 0;
}

std::int64_t GetEntrySize(const std::filesystem::path& path, platform::FileSystem& files) {
    const auto entry = files.findEntry(path);
    return entry ? static_cast<std::int64_t>(entry->size) : -1;
}

bool FolderHasFiles(const std::filesystem::path& path, platform::FileSystem& files) {
    auto search = files.findFirst(path);
    if (!search) {
        return false;
    }
    platform::FindData entry;
    while (search->next(entry)) {
        if ((entry.attributes & platform::FileAttribute::Directory) == 0) {
            return true;
        }
    }
    return false;
}

std::filesystem::path FolderPart(const std::filesystem::path& path) {
    const std::string& text = path.native();
    const auto slash = text.rfind('/');
    return slash == std::string::npos ? std::filesystem::path()
                                      : std::filesystem::path(text.substr(0, slash + 1));
}

std::filesystem::path NamePart(const std::filesystem::path& path) {
    const std::string& text = path.native();
    const auto slash = text.rfind('/');
    return slash == std::string::npos ? path : std::filesystem::path(text.substr(slash + 1));
}

int CompareFolded(const std::string& a, const std::string& b) {
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : int{c}; };
    const std::size_t size = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < size; ++i) {
        const int x = fold(static_cast<unsigned char>(a[i]));
        const int y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string FormatSize(std::int64_t size, const std::string& decimalSeparator) {
    struct Unit {
        std::uint64_t bytes;
        const char* name;
    };
    constexpr Unit kUnits[] = {{1ull << 30, " GB"}, {1ull << 20, " MB"}, {1ull << 10, " KB"}};
    for (const Unit& unit : kUnits) {
        if (size < 0 || static_cast<std::uint64_t>(size) < unit.bytes) {
            continue;
        }
        // Whole units and hundredths in integers, so no size is misrounded.
        const auto value = static_cast<std::uint64_t>(size);
        std::uint64_t whole = value / unit.bytes;
        std::uint64_t hundredths = ((value % unit.bytes) * 100 + unit.bytes / 2) / unit.bytes;
        if (hundredths == 100) {
            ++whole;
            hundredths = 0;
        }
        std::string text = std::to_string(whole);
        if (hundredths != 0) {
            text += decimalSeparator;
            text += static_cast<char>('0' + hundredths / 10);
            if (hundredths % 10 != 0) {
                text += static_cast<char>('0' + hundredths % 10);
            }
        }
        return text + unit.name;
    }
    return std::to_string(size) + " bytes";
}

}  // namespace quenlo::shredlist
