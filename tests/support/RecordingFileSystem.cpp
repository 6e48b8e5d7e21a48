#include "tests/support/RecordingFileSystem.h"

namespace quenlo::test {
namespace {

class RecordingFile : public platform::File {
public:
    RecordingFile(std::unique_ptr<platform::File> real, FileEvents& events, int failWriteFrom)
        : real_(std::move(real)), events_(events), failWriteFrom_(failWriteFrom) {}

    bool write(const void* data, std::size_t size) override {
        events_.calls.push_back("write");
        if (failWriteFrom_ > 0 && ++writes_ >= failWriteFrom_) {
            return false;
        }
        if (events_.passes.empty()) {
            events_.passes.emplace_back();
        }
        events_.passes.back().append(static_cast<const char*>(data), size);
        return real_->write(data, size);
    }
    bool seek(std::uint64_t offset) override {
        events_.calls.push_back("seek");
        if (offset == 0) {
            events_.passes.emplace_back();
        }
        return real_->seek(offset);
    }
    std::optional<std::uint64_t> size() override { return real_->size(); }
    bool flush() override {
        events_.calls.push_back("flush");
        return real_->flush();
    }
    bool setSize(std::uint64_t size) override {
        events_.calls.push_back("setSize");
        return real_->setSize(size);
    }
    bool close() override {
        events_.calls.push_back("close");
        return real_->close();
    }

private:
    std::unique_ptr<platform::File> real_;
    FileEvents& events_;
    int failWriteFrom_;
    int writes_ = 0;
};

}  // namespace

std::unique_ptr<platform::File> RecordingFileSystem::openExisting(const std::filesystem::path& path,
                                                                  std::error_code& error) {
    if (failOpen) {
        error = std::make_error_code(std::errc::permission_denied);
        return nullptr;
    }
    auto real = real_.openExisting(path, error);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<RecordingFile>(std::move(real), events, failWriteFrom);
}

bool RecordingFileSystem::move(const std::filesystem::path& from, const std::filesystem::path& to) {
    moves.emplace_back(from, to);
    return !failMove && real_.move(from, to);
}

bool RecordingFileSystem::deleteFile(const std::filesystem::path& path) {
    deletes.push_back(path);
    return !failDelete && real_.deleteFile(path);
}

}  // namespace quenlo::test
