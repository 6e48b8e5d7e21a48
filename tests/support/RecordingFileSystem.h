#pragma once

// A file layer in front of the real one that records what the engine does
// with it (every write, grouped into passes at each seek to the start; each
// flush; moves and deletes) and can be told to fail chosen calls.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "wipe/ShredProgress.h"

namespace quenlo::test {

struct FileEvents {
    // The bytes written, one string per pass (a pass starts at seek(0)).
    std::vector<std::string> passes;
    // "seek", "write", "flush", "size", "close" in call order.
    std::vector<std::string> calls;
};

// Told of every positional write that went through: offset, the bytes written.
using WriteAtObserver =
    std::function<void(std::uint64_t offset, const unsigned char* data, std::size_t size)>;

class RecordingFileSystem : public platform::FileSystem {
public:
    explicit RecordingFileSystem(platform::FileSystem& real = platform::systemFileSystem())
        : real_(real) {}

    FileEvents events;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> moves;
    std::vector<std::filesystem::path> deletes;

    bool failOpen = false;
    bool failMove = false;
    bool failDelete = false;
    bool failCreateAlways = false;
    std::vector<std::filesystem::path> created;
    // Writes fail from this write on (1-based count over each file); 0: never.
    int failWriteFrom = 0;
    // Files made by createAlways report their positional writes here.
    WriteAtObserver onWriteAt;
    // The error an injected positional write failure reports.
    std::error_code writeError = std::make_error_code(std::errc::io_error);

    std::unique_ptr<platform::File> openExisting(const std::filesystem::path& path,
                                                 std::error_code& error) override;
    std::unique_ptr<platform::File> createNew(const std::filesystem::path& path,
                                              std::error_code& error) override {
        return real_.createNew(path, error);
    }
    std::unique_ptr<platform::File> createAlways(const std::filesystem::path& path,
                                                 std::error_code& error) override;
    std::uint32_t getAttributes(const std::filesystem::path& path) override {
        return real_.getAttributes(path);
    }
    bool setAttributes(const std::filesystem::path& path, std::uint32_t attributes) override {
        return real_.setAttributes(path, attributes);
    }
    bool move(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool deleteFile(const std::filesystem::path& path) override;
    bool createDirectory(const std::filesystem::path& path) override {
        return real_.createDirectory(path);
    }
    bool flushVolume(const std::filesystem::path& path) override { return real_.flushVolume(path); }
    bool removeDirectory(const std::filesystem::path& path) override {
        return real_.removeDirectory(path);
    }
    std::unique_ptr<platform::DirectorySearch> findFirst(
        const std::filesystem::path& folder) override {
        return real_.findFirst(folder);
    }
    std::optional<platform::FindData> findEntry(const std::filesystem::path& path) override {
        return real_.findEntry(path);
    }
    std::unique_ptr<platform::Folder> openFolder(const std::filesystem::path& folder) override {
        return real_.openFolder(folder);
    }

private:
    platform::FileSystem& real_;
};

// A clock that stands still at chosen values.
class FixedClock : public platform::Clock {
public:
    std::uint32_t tick = 5'000'000;
    std::int64_t counter = 0x1234'5678'9ABCLL;
    bool hasCounter = true;

    std::uint32_t tickCount() override { return tick; }
    bool performanceCounter(std::int64_t& value) override {
        value = counter;
        return hasCounter;
    }
};

// A progress window that writes down everything it is told.
class RecordingProgress : public wipe::ShredProgress {
public:
    std::vector<std::string> texts;
    std::vector<std::int64_t> maxima;
    // Positions since the last startPassBar, one list per pass.
    std::vector<std::vector<std::int64_t>> positions;
    int messageRuns = 0;
    // Called at each processPendingMessages, as a user's click would arrive.
    std::function<void()> onMessages;

    void setPassText(std::string_view text) override { texts.emplace_back(text); }
    void startPassBar(std::int64_t maximum) override {
        maxima.push_back(maximum);
        positions.emplace_back();
    }
    void setPassPosition(std::int64_t position) override { positions.back().push_back(position); }
    void processPendingMessages() override {
        ++messageRuns;
        if (onMessages) {
            onMessages();
        }
    }
};

}  // namespace quenlo::test
