#pragma once

#include <map>
#include <vector>

#include "platform/Shell.h"

namespace quenlo::test {

// A shell that answers from the file system alone and records what it is asked.
class FakeShell : public platform::Shell {
public:
    std::vector<std::filesystem::path> asked;      // every path filled, in order
    std::map<std::string, std::string> typeNames;  // by extension
    std::vector<std::filesystem::path> shown;
    std::vector<std::string> opened;  // web addresses

    std::string typeName(const std::filesystem::path& path) override {
        const auto it = typeNames.find(path.extension().string());
        return it == typeNames.end() ? std::string() : it->second;
    }
    std::uint32_t attributes(const std::filesystem::path& path) override;
    std::int32_t iconIndex(const std::filesystem::path& path, bool open) override {
        if (!open) {
            asked.push_back(path);
        }
        return open ? 1 : 0;
    }
    bool showInFileManager(const std::filesystem::path& path) override {
        shown.push_back(path);
        return true;
    }
    bool openWebAddress(std::string_view address) override {
        opened.emplace_back(address);
        return false;  // no browser: the program must not care
    }
};

}  // namespace quenlo::test
